// The grammar interpreter fed an answer page in random pieces, with the text cleaning of every
// captured field. The same page fed at once must give the same results, whatever the pieces.
#include "extract/ResultExtractor.h"
#include "extract/TextCleaner.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A grammar field holds at most 255 bytes; a little more tests what a longer one does.
constexpr std::size_t kMaxGrammar = 300;
constexpr std::size_t kMaxEngineName = 30;
constexpr std::size_t kMaxSiteRoot = 64;
// The HTTP client hands on pieces of at most this many bytes.
constexpr std::size_t kMaxPiece = 4095;

struct Setup {
    std::string grammar;
    std::string engine;
    std::string siteRoot;
};

ResultList extract(const Setup& setup, std::string_view page,
                   const std::vector<std::size_t>& pieces) {
    ResultExtractor extractor;
    extractor.SetGrammar(setup.grammar);
    extractor.SetEngineName(setup.engine);
    extractor.SetSiteRoot(setup.siteRoot);
    ResultList list;
    std::size_t offset = 0;
    std::size_t turn = 0;
    while (offset < page.size()) {
        const std::size_t size = std::min(pieces[turn % pieces.size()], page.size() - offset);
        extractor.AppendInput(page.data() + offset, size);
        extractor.Feed(list);
        offset += size;
        ++turn;
    }
    return list;
}

bool sameResults(const ResultList& a, const ResultList& b) {
    bool same = a.Count() == b.Count();
    for (int32_t i = 0; same && i < a.Count(); ++i) {
        const SearchResult& x = *a.Get(i);
        const SearchResult& y = *b.Get(i);
        same = x.title == y.title && x.address == y.address && x.summary == y.summary &&
               x.engine == y.engine;
    }
    return same;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Setup setup;
    setup.grammar = input.ConsumeRandomLengthString(kMaxGrammar);
    setup.engine = input.ConsumeRandomLengthString(kMaxEngineName);
    setup.siteRoot = input.ConsumeRandomLengthString(kMaxSiteRoot);
    std::vector<std::size_t> pieces;
    const std::size_t pieceCount = input.ConsumeIntegralInRange<std::size_t>(1, 8);
    for (std::size_t i = 0; i < pieceCount; ++i) {
        pieces.push_back(input.ConsumeIntegralInRange<std::size_t>(1, kMaxPiece));
    }
    std::string page = input.ConsumeRemainingBytesAsString();

    // Cleaning never makes a text longer.
    std::string cleaned = page;
    TextCleaner::CleanText(cleaned);
    if (cleaned.size() > page.size()) {
        std::abort();
    }

    const ResultList inPieces = extract(setup, page, pieces);
    // A piece counts up to its first zero byte, so only a page without one reads the same
    // whatever its pieces.
    if (page.find('\0') == std::string::npos) {
        const ResultList atOnce = extract(setup, page, {page.size() + 1});
        if (!sameResults(inPieces, atOnce)) {
            std::abort();
        }
    }
    return 0;
}
