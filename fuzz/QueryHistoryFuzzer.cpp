// The query history reader on arbitrary file bytes, followed by a search that adds a keyword
// and the write-back when the history goes.
#include "FuzzScratchDir.h"

#include "model/Utf8Cut.h"
#include "settings/QueryHistoryFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Somewhat more than a record holds, to test the cut.
constexpr std::size_t kMaxKeyword = 300;

std::vector<std::string> keywordsIn(QueryHistoryFile& history) {
    std::vector<std::string> keywords;
    std::string keyword;
    while (history.GetNext(keyword) != 0) {
        keywords.push_back(keyword);
    }
    return keywords;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string keyword = input.ConsumeRandomLengthString(kMaxKeyword);
    const std::string file = input.ConsumeRemainingBytesAsString();
    const FuzzScratchDir& scratch = FuzzScratchDir::Instance();
    scratch.Write(QueryHistoryFile::kFileName, file);

    {
        QueryHistoryFile history(scratch.Path());
        const std::vector<std::string> keywords = keywordsIn(history);
        if (keywords.size() > static_cast<std::size_t>(QueryHistoryFile::kCapacity) ||
            keywords.size() > file.size() / QueryHistoryFile::kRecordSize) {
            std::abort();
        }
        for (const std::string& kept : keywords) {
            if (kept.size() > QueryHistoryFile::kMaxKeywordLength) {
                std::abort();
            }
        }
        history.Add(keyword);
    }
    // The keyword, as a record stores it, is in the history the next search reads.
    // A cut never splits a UTF-8 character.
    std::string stored = keyword.substr(0, keyword.find('\0'));
    stored.resize(Utf8Cut::Length(stored, QueryHistoryFile::kMaxKeywordLength));
    QueryHistoryFile reread(scratch.Path());
    const std::vector<std::string> keywords = keywordsIn(reread);
    if (std::find(keywords.begin(), keywords.end(), stored) == keywords.end()) {
        std::abort();
    }
    return 0;
}
