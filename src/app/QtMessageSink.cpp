#include "app/QtMessageSink.h"

#include <QMessageBox>
#include <QString>

#include <cstdio>

namespace {

QString FromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QMessageBox::Icon QtMessageSink::IconFor(std::string_view caption) {
    if (caption == kWarningCaption) {
        return QMessageBox::Warning;
    }
    if (caption == kInformationCaption || caption.empty()) {
        return QMessageBox::Information;
    }
    return QMessageBox::Critical;
}

QtMessageSink::QtMessageSink(QWidget* parent) : m_parent(parent) {
}

void QtMessageSink::SetParent(QWidget* parent) {
    m_parent = parent;
}

void QtMessageSink::SetToStandardError(bool toStandardError) {
    m_toStandardError = toStandardError;
}

void QtMessageSink::showMessage(std::string_view caption, std::string_view text) {
    if (m_toStandardError) {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        return;
    }
    QMessageBox box(IconFor(caption), FromBytes(caption), FromBytes(text), QMessageBox::Ok,
                    m_parent);
    box.setAccessibleName(FromBytes(caption));
    box.setAccessibleDescription(FromBytes(text));
    box.exec();
}
