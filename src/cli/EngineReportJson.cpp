#include "cli/EngineReportJson.h"

#include "model/Utf8Cut.h"
#include "search/EngineAccount.h"

#include <cstdio>

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kFirstNonAscii = 0x80;

std::string escapedCodePoint(unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", value);
    return buffer;
}

void addNumber(std::string& out, const char* key, long long value, bool last = false) {
    out += "    \"";
    out += key;
    out += "\": ";
    out += std::to_string(value);
    out += last ? "\n" : ",\n";
}

void addTime(std::string& out, const char* key, long long value) {
    out += "    \"";
    out += key;
    out += "\": ";
    out += value < 0 ? "null" : std::to_string(value);
    out += ",\n";
}

void addText(std::string& out, const char* key, const std::string& value) {
    out += "    \"";
    out += key;
    out += "\": ";
    out += EngineReportJson::Quote(value);
    out += ",\n";
}

void addFlag(std::string& out, const char* key, bool value, bool last = false) {
    out += "    \"";
    out += key;
    out += "\": ";
    out += value ? "true" : "false";
    out += last ? "\n" : ",\n";
}

} // namespace

std::string EngineReportJson::Quote(const std::string& text) {
    std::string out = "\"";
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c >= kFirstNonAscii) {
            const std::size_t length = Utf8Cut::SequenceLength(text, at);
            if (length > 0) {
                out.append(text, at, length);
                at += length;
            } else {
                out += escapedCodePoint(c);
                ++at;
            }
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < kFirstPrintable || c == 0x7F) {
            out += escapedCodePoint(c);
        } else {
            out += static_cast<char>(c);
        }
        ++at;
    }
    out += '"';
    return out;
}

std::string EngineReportJson::Json(const EngineAccount& account) {
    std::string out = "[\n";
    const auto& records = account.Records();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const EngineRecord& r = records[i];
        out += "  {\n";
        addText(out, "name", r.name);
        addText(out, "state", EngineAccount::StateText(r));
        addNumber(out, "pages_requested", r.pagesRequested);
        addNumber(out, "pages_answered", r.pagesAnswered);
        addText(out, "status_line", r.statusLine);
        addNumber(out, "bytes", static_cast<long long>(r.bytes));
        addTime(out, "first_byte_ms", r.firstByteMs);
        addNumber(out, "total_ms", r.totalMs);
        addNumber(out, "results_parsed", r.resultsParsed);
        addNumber(out, "results_accepted", r.resultsAccepted);
        addNumber(out, "duplicates", r.duplicates);
        if (r.error.empty()) {
            out += "    \"error\": null,\n    \"error_page\": null,\n";
        } else {
            addText(out, "error", r.error);
            addNumber(out, "error_page", r.errorPage);
        }
        addFlag(out, "parsed_nothing", r.parsedNothing);
        addFlag(out, "blocked", r.blocked, true);
        out += i + 1 < records.size() ? "  },\n" : "  }\n";
    }
    out += "]\n";
    return out;
}
