#pragma once

#include "model/ResultList.h"

#include <cstdint>
#include <string>
#include <unordered_set>

// A result list that turns away a result whose title (byte for byte) or address (as the same
// page, see AddressKey) is already present, and counts what it turned away.
class UniqueResultList {
  public:
    enum class KeyKind { ByTitle, ByAddress, None };

    // True when added; false when turned away as a duplicate (the counter then grows by one).
    bool AddUnique(const SearchResult& result, KeyKind kind);
    int32_t DuplicateCount() const;
    // Empties the list; the duplicate counter keeps its value.
    void Clear();
    int32_t Count() const;
    const SearchResult* Get(int32_t index) const;

  private:
    ResultList m_list;
    // Titles and addresses already held, so a long search does not compare every pair.
    std::unordered_set<std::string> m_titles;
    std::unordered_set<std::string> m_addresses;
    int32_t m_duplicates = 0;
};
