#include "cli/OutputFormat.h"

#include "results/ResultExport.h"
#include "results/ResultsFile.h"

#include <array>

namespace {

constexpr std::string_view kNameSeparator = ", ";

const std::array<OutputFormat, 5> kFormats = {{
    {"html", &ResultExport::HtmlPageBytes},
    {"htm", &ResultExport::HtmlPageBytes},
    {"txt", &ResultExport::TextFileBytes},
    {"text", &ResultExport::TextFileBytes},
    {"vnr", &ResultsFile::Encode},
}};

} // namespace

const OutputFormat* OutputFormat::Find(std::string_view name) {
    for (const OutputFormat& format : kFormats) {
        if (format.name == name) {
            return &format;
        }
    }
    return nullptr;
}

std::string OutputFormat::Names() {
    std::string names;
    for (const OutputFormat& format : kFormats) {
        if (!names.empty()) {
            names += kNameSeparator;
        }
        names += format.name;
    }
    return names;
}
