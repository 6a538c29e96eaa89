#pragma once

#include "widgets/ReportConstants.h"

#include <cstdint>
#include <string>
#include <vector>

// One item of the report control.
struct ReportItemRecord {
    // Every cell of the item, encoded by ReportCellCodec.
    std::string cells;
    // Palette index of the row background, -1 for none.
    int32_t bkColor = -1;
    // kReportState* bits.
    uint32_t state = 0;
    // Height of the owner-painted area under the row.
    int32_t preview = 0;
    uint32_t param = 0;
};

// The items of a report control in item order (insertion order), the row order that says which
// item each row shows, a map back from items to rows, and the list of selected items in the
// order they were selected. Keeps the three in step when items come and go.
class ReportItemStore {
  public:
    // The accessors below run for every row on screen each time a row is added or painted,
    // so they are inline.
    int Count() const {
        return static_cast<int>(m_items.size());
    }
    bool IsItem(int item) const {
        return item >= 0 && item < Count();
    }
    bool IsRow(int row) const {
        return row >= 0 && row < Count();
    }
    ReportItemRecord& Item(int item) {
        return m_items[static_cast<std::size_t>(item)];
    }
    const ReportItemRecord& Item(int item) const {
        return m_items[static_cast<std::size_t>(item)];
    }

    // Inserts record as item index (0 to Count()); later items move up by one, and the new item
    // is shown at row index.
    void Insert(int index, ReportItemRecord record);
    // Removes the item, its row and its place in the selection list.
    void Remove(int item);
    void Clear();

    // The item shown at row, or -2; -1 and -2 pass through unchanged.
    int ItemFromRow(int row) const {
        if (row == kReportDefault || row == kReportNone) {
            return row;
        }
        return IsRow(row) ? m_rowOrder[static_cast<std::size_t>(row)] : kReportNone;
    }
    // The row that shows item, or -2; -1 and -2 pass through unchanged.
    int RowFromItem(int item) const;
    const std::vector<int>& RowOrder() const;
    // The row order for reordering; the item-to-row map is rebuilt on its next use.
    std::vector<int>& ReorderRows();

    // Selected items in order of selection.
    const std::vector<int>& SelectionList() const;
    void AddToSelection(int item);
    void RemoveFromSelection(int item);
    void SetSelectionList(std::vector<int> items);

  private:
    void RebuildMapIfStale() const;

    std::vector<ReportItemRecord> m_items;
    std::vector<int> m_rowOrder;
    mutable std::vector<int> m_rowOfItem;
    mutable bool m_mapStale = false;
    std::vector<int> m_selection;
};
