#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class ReportItemStore;

// The row sort of the report control: a quicksort over the row order by one cell of each item.
// It is not stable: items that compare equal may change their order.
class ReportSorter {
  public:
    // What an item's cell contributes to the order.
    struct Key {
        bool hasText = false;
        std::string_view text;
        int32_t image = -1;
    };

    // Sorts rows (item indexes, one per row) by keys[item].
    static void Sort(std::vector<int>& rows, const std::vector<Key>& keys, bool ascending);
    // Sorts the store's rows by each item's cell of the sub-item.
    static void SortStore(ReportItemStore& store, int subItem, bool ascending);
    // -1, 0 or 1. Two cells without text compare by image index; otherwise by their texts in
    // byte order (case-sensitive, a UTF-8 sequence as one character), no text as the empty text.
    static int Compare(const Key& a, const Key& b);

  private:
    static void QuickSort(std::vector<int>& rows, const std::vector<Key>& keys, int lo, int hi,
                          bool ascending);
};
