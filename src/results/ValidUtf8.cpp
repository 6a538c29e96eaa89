#include "results/ValidUtf8.h"

#include <QString>

std::string ValidUtf8::Repaired(std::string_view bytes) {
    // Qt's decoder puts U+FFFD for each invalid sequence, overlong forms and surrogates
    // included.
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .toUtf8()
        .toStdString();
}
