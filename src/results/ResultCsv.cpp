#include "results/ResultCsv.h"

#include "platform/AtomicFile.h"
#include "results/ValidUtf8.h"

namespace {

constexpr std::string_view kRecordEnd = "\r\n";
constexpr char kFieldSeparator = ',';
constexpr char kQuote = '"';
// A field holding any of these is quoted.
constexpr std::string_view kQuotedBytes = ",\"\r\n";

const RelevanceRanking::Page* pageAt(const std::vector<const RelevanceRanking::Page*>& pages,
                                     int32_t row) {
    return static_cast<std::size_t>(row) < pages.size() ? pages[static_cast<std::size_t>(row)]
                                                        : nullptr;
}

} // namespace

std::string ResultCsv::Field(std::string_view text) {
    const std::string valid = ValidUtf8::Repaired(text);
    if (valid.find_first_of(kQuotedBytes) == std::string::npos) {
        return valid;
    }
    std::string field(1, kQuote);
    for (const char byte : valid) {
        if (byte == kQuote) {
            field += kQuote;
        }
        field += byte;
    }
    field += kQuote;
    return field;
}

std::string ResultCsv::Bytes(const ResultList& list,
                             const std::vector<const RelevanceRanking::Page*>& pages) {
    std::string bytes(kHeader);
    bytes += kRecordEnd;
    for (int32_t row = 0; row < list.Count(); ++row) {
        const SearchResult& result = *list.Get(row);
        std::string engines;
        for (const std::string& engine : RelevanceRanking::EnginesOf(result, pageAt(pages, row))) {
            if (!engines.empty()) {
                engines += kEngineSeparator;
            }
            engines += engine;
        }
        bytes += Field(result.title.view()) + kFieldSeparator + Field(result.address.view()) +
                 kFieldSeparator + Field(result.summary.view()) + kFieldSeparator + Field(engines);
        bytes += kRecordEnd;
    }
    return bytes;
}

bool ResultCsv::Write(const ResultList& list, const std::string& path,
                      const std::vector<const RelevanceRanking::Page*>& pages) {
    return AtomicFile::Write(path, Bytes(list, pages));
}
