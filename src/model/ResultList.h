#pragma once

#include "model/SearchResult.h"

#include <cstdint>
#include <vector>

// The ordered, owning sequence of results, in insertion order. Indices are zero-based and
// signed 32-bit; out-of-range access gives nothing rather than failing.
class ResultList {
  public:
    // Appends a copy of the four texts; returns the new count.
    int32_t Add(const SearchResult& result);
    // Appends a result made of the four texts, each cut to its capacity; returns the new count.
    int32_t Add(std::string_view title, std::string_view address, std::string_view summary,
                std::string_view engine);
    int32_t Count() const;
    // Makes room for count results in all, so that adding up to that many moves none of them.
    void Reserve(int32_t count);
    // The item at index, or nullptr when the index is out of range. The caller may change it.
    SearchResult* Get(int32_t index);
    const SearchResult* Get(int32_t index) const;
    // Removes the item at index; later items move up. Out of range changes nothing.
    void Remove(int32_t index);
    void Clear();

  private:
    std::vector<SearchResult> m_items;
};
