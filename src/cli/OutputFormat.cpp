#include "cli/OutputFormat.h"

#include "cli/ResultPrinter.h"
#include "results/ResultCsv.h"
#include "results/ResultExport.h"
#include "results/ResultJson.h"
#include "results/ResultsFile.h"

#include <array>

namespace {

constexpr std::string_view kNameSeparator = ", ";

// A page written from a results file has no keyword to take its title from.
std::string HtmlBytes(const ResultList& list) {
    return ResultExport::HtmlPageBytes(list);
}

std::string JsonBytes(const ResultList& list) {
    return ResultJson::Bytes(list);
}

std::string CsvBytes(const ResultList& list) {
    return ResultCsv::Bytes(list);
}

const std::array<OutputFormat, 8> kFormats = {{
    {"html", &HtmlBytes},
    {"htm", &HtmlBytes},
    {"txt", &ResultExport::TextFileBytes},
    {"text", &ResultExport::TextFileBytes},
    {"vnr", &ResultsFile::Encode},
    {"tsv", &ResultPrinter::Bytes},
    {"json", &JsonBytes},
    {"csv", &CsvBytes},
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
