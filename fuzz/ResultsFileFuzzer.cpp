// The results file reader on arbitrary file bytes. What it reads must write back to bytes that
// read the same.
#include "FuzzScratchDir.h"

#include "results/ResultsFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::string_view kFileName = "fuzz.vnr";

bool sameResults(const ResultList& a, const ResultList& b) {
    if (a.Count() != b.Count()) {
        return false;
    }
    for (int32_t i = 0; i < a.Count(); ++i) {
        const SearchResult& x = *a.Get(i);
        const SearchResult& y = *b.Get(i);
        if (!(x.title == y.title && x.address == y.address && x.summary == y.summary &&
              x.engine == y.engine)) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const FuzzScratchDir& scratch = FuzzScratchDir::Instance();
    scratch.Write(kFileName, bytes);

    // Opening appends to what the list holds; an unreadable file appends nothing.
    ResultList list;
    list.Add("kept", "http://kept.example/", "", "");
    const ResultsFile::ReadResult read =
        ResultsFile::ReadResultsFile(list, scratch.File(kFileName));
    if (read == ResultsFile::ReadResult::Missing) {
        std::abort();
    }
    if (read == ResultsFile::ReadResult::Unreadable && list.Count() != 1) {
        std::abort();
    }
    if (read != ResultsFile::ReadResult::Read) {
        return 0;
    }
    // Whole records only: never more than the bytes could hold.
    if (static_cast<std::size_t>(list.Count() - 1) > size / ResultsFile::kRecordSize) {
        std::abort();
    }
    ResultList decoded;
    if (ResultsFile::Decode(bytes, decoded) != ResultsFile::ReadResult::Read) {
        std::abort();
    }
    ResultList again;
    if (ResultsFile::Decode(ResultsFile::Encode(decoded), again) != ResultsFile::ReadResult::Read ||
        !sameResults(decoded, again)) {
        std::abort();
    }
    return 0;
}
