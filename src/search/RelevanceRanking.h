#pragma once

#include "model/ResultList.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Ranks the pages of one search by how many engines agree on them: reciprocal rank fusion.
// Each page scores the sum, over the engines that listed it, of 1 / (kFusionConstant + its rank
// in that engine's own list), the rank counting every result the engine gave in the order it
// gave them (a page an engine lists twice counts once, at its first place). Pages are told apart
// by AddressKey, whatever the duplicate setting of the search. A higher score comes first, then
// the better single rank, then the page that arrived first.
class RelevanceRanking {
  public:
    // The constant that keeps one engine's first place from outweighing several engines'
    // agreement.
    static constexpr int kFusionConstant = 60;

    // One page of the search and what the engines said of it.
    struct Page {
        // The order in which the search first met the page, from 0.
        int32_t arrival = 0;
        // The engines that listed the page, in the order they gave it, and each one's rank.
        std::vector<std::string> engines;
        std::vector<int32_t> ranks;
        double score = 0.0;
        int32_t bestRank = 0;
    };

    void Clear();
    // One result as an engine gave it, in the order the search received them.
    void Note(std::string_view engine, std::string_view address);
    // The page of an address, or nullptr when no engine gave it in this search.
    const Page* Find(std::string_view address) const;
    // Whether page a comes before page b.
    static bool Before(const Page& a, const Page& b);

    // The indexes of list in relevance order. Rows of the same page keep their order among
    // themselves; rows of pages this search did not give follow, in list order.
    std::vector<int32_t> Order(const ResultList& list) const;
    // One row per page of list, in relevance order: the page's first row, its engine field
    // naming every engine that found it (as the search names them). pages receives each row's
    // page, nullptr for a row of a page this search did not give.
    ResultList Merged(const ResultList& list, std::vector<const Page*>& pages) const;
    // The names of the engines that found result: those of its page when there is one, else
    // the names its engine field lists ("Bing, Yahoo"; a cut list such as "Bing +2" stays one
    // name).
    static std::vector<std::string> EnginesOf(const SearchResult& result, const Page* page);

  private:
    std::vector<Page> m_pages;
    // Index into m_pages by address key.
    std::unordered_map<std::string, int32_t> m_pageIndex;
    // Results each engine has given so far.
    std::unordered_map<std::string, int32_t> m_given;
};
