#include "search/RelevanceRanking.h"

#include "model/AddressKey.h"
#include "search/SearchSession.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

// Scores closer than this are equal: sums of the same ranks added in another order may differ
// in their last bits.
constexpr double kScoreTolerance = 1e-12;

} // namespace

void RelevanceRanking::Clear() {
    m_pages.clear();
    m_pageIndex.clear();
    m_given.clear();
}

void RelevanceRanking::Note(std::string_view engine, std::string_view address) {
    const int32_t rank = ++m_given[std::string(engine)];
    const auto [found, added] = m_pageIndex.try_emplace(AddressKey::Normalise(address),
                                                        static_cast<int32_t>(m_pages.size()));
    if (added) {
        Page page;
        page.arrival = found->second;
        page.bestRank = rank;
        m_pages.push_back(std::move(page));
    }
    Page& page = m_pages[static_cast<std::size_t>(found->second)];
    if (std::find(page.engines.begin(), page.engines.end(), engine) != page.engines.end()) {
        return;
    }
    page.engines.emplace_back(engine);
    page.ranks.push_back(rank);
    page.score += 1.0 / (kFusionConstant + rank);
    page.bestRank = std::min(page.bestRank, rank);
}

const RelevanceRanking::Page* RelevanceRanking::Find(std::string_view address) const {
    const auto found = m_pageIndex.find(AddressKey::Normalise(address));
    if (found == m_pageIndex.end()) {
        return nullptr;
    }
    return &m_pages[static_cast<std::size_t>(found->second)];
}

bool RelevanceRanking::Before(const Page& a, const Page& b) {
    if (std::fabs(a.score - b.score) > kScoreTolerance) {
        return a.score > b.score;
    }
    if (a.bestRank != b.bestRank) {
        return a.bestRank < b.bestRank;
    }
    return a.arrival < b.arrival;
}

std::vector<int32_t> RelevanceRanking::Order(const ResultList& list) const {
    std::vector<const Page*> pageOf(static_cast<std::size_t>(list.Count()));
    std::vector<int32_t> order(pageOf.size());
    for (int32_t index = 0; index < list.Count(); ++index) {
        pageOf[static_cast<std::size_t>(index)] = Find(list.Get(index)->address.view());
        order[static_cast<std::size_t>(index)] = index;
    }
    std::stable_sort(order.begin(), order.end(), [&pageOf](int32_t a, int32_t b) {
        const Page* pageA = pageOf[static_cast<std::size_t>(a)];
        const Page* pageB = pageOf[static_cast<std::size_t>(b)];
        if (pageA == pageB || pageA == nullptr) {
            return false;
        }
        return pageB == nullptr || Before(*pageA, *pageB);
    });
    return order;
}

ResultList RelevanceRanking::Merged(const ResultList& list, std::vector<const Page*>& pages) const {
    ResultList merged;
    pages.clear();
    std::unordered_set<const Page*> listed;
    for (const int32_t index : Order(list)) {
        SearchResult row = *list.Get(index);
        const Page* page = Find(row.address.view());
        if (page != nullptr) {
            if (!listed.insert(page).second) {
                continue;
            }
            row.engine.set(SearchSession::EngineListText(page->engines));
        }
        merged.Add(row);
        pages.push_back(page);
    }
    return merged;
}

std::vector<std::string> RelevanceRanking::EnginesOf(const SearchResult& result, const Page* page) {
    if (page != nullptr) {
        return page->engines;
    }
    std::vector<std::string> engines;
    const std::string_view field = result.engine.view();
    std::size_t begin = 0;
    while (begin <= field.size() && !field.empty()) {
        const std::size_t end = field.find(SearchSession::kEngineListSeparator, begin);
        engines.emplace_back(field.substr(begin, end - begin));
        if (end == std::string_view::npos) {
            break;
        }
        begin = end + SearchSession::kEngineListSeparator.size();
    }
    return engines;
}
