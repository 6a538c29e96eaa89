#include "widgets/ReportSorter.h"

#include "widgets/ReportCellCodec.h"
#include "widgets/ReportItemStore.h"

#include <utility>

void ReportSorter::Sort(std::vector<int>& rows, const std::vector<Key>& keys, bool ascending) {
    if (rows.size() < 2) {
        return;
    }
    QuickSort(rows, keys, 0, static_cast<int>(rows.size()) - 1, ascending);
}

void ReportSorter::SortStore(ReportItemStore& store, int subItem, bool ascending) {
    const int count = store.Count();
    std::vector<Key> keys(static_cast<std::size_t>(count));
    for (int item = 0; item < count; ++item) {
        ReportCellView cell;
        ReportCellCodec::Read(store.Item(item).cells, subItem, cell);
        Key& key = keys[static_cast<std::size_t>(item)];
        key.hasText = cell.hasText;
        key.text = cell.text;
        key.image = cell.image;
    }
    Sort(store.ReorderRows(), keys, ascending);
}

int ReportSorter::Compare(const Key& a, const Key& b) {
    if (!a.hasText && !b.hasText) {
        if (a.image == b.image) {
            return 0;
        }
        return a.image < b.image ? -1 : 1;
    }
    // Byte order of unsigned bytes; in UTF-8 that is the order of the characters.
    const int order = a.text.compare(b.text);
    if (order == 0) {
        return 0;
    }
    return order < 0 ? -1 : 1;
}

void ReportSorter::QuickSort(std::vector<int>& rows, const std::vector<Key>& keys, int lo, int hi,
                             bool ascending) {
    const auto key = [&](int row) -> const Key& {
        return keys[static_cast<std::size_t>(rows[static_cast<std::size_t>(row)])];
    };
    // The smaller part recurses and the larger one loops, which keeps the stack shallow; the
    // two parts never overlap, so the order that results is that of plain recursion.
    while (lo < hi) {
        const Key pivot = key((lo + hi) / 2);
        int i = lo;
        int j = hi;
        do {
            if (ascending) {
                while (Compare(key(i), pivot) < 0) {
                    ++i;
                }
                while (Compare(key(j), pivot) > 0) {
                    --j;
                }
            } else {
                while (Compare(key(i), pivot) > 0) {
                    ++i;
                }
                while (Compare(key(j), pivot) < 0) {
                    --j;
                }
            }
            if (j < i) {
                break;
            }
            if (i != j) {
                std::swap(rows[static_cast<std::size_t>(i)], rows[static_cast<std::size_t>(j)]);
            }
            ++i;
            --j;
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j) {
                QuickSort(rows, keys, lo, j, ascending);
            }
            lo = i;
        } else {
            if (i < hi) {
                QuickSort(rows, keys, i, hi, ascending);
            }
            hi = j;
        }
    }
}
