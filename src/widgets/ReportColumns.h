#pragma once

#include "widgets/ReportRecords.h"

#include <vector>

class CFlatHeaderCtrl;
class ReportLayout;

// The columns of a report control: the sub-item definitions, which of them the header shows
// (each header item carries its sub-item index as its value), the display order as read back
// from the header, the focus column, and the total width of the shown columns.
class ReportColumns {
  public:
    explicit ReportColumns(CFlatHeaderCtrl& header);

    // Inserts a definition at index (later ones move up; beyond the end the list grows), and
    // keeps shown columns pointing at their definitions. Returns the index, or -1. The items'
    // cells are the caller's.
    int Define(int index, const ReportSubItem& definition);
    int Count() const;
    bool Get(int subItem, ReportSubItem& definition) const;
    // Shows the sub-item at a display position with its width, limits and sort tip. Returns
    // the header item index, or -1 when it is shown already or unknown.
    int Activate(int subItem, int position);
    // Removes the sub-item's column; false when it was not shown.
    bool Deactivate(int subItem);
    int HeaderIndex(int subItem) const;
    int SubItemOfHeader(int headerIndex) const;
    // Gives the sub-item a width within its limits; 1 when its column was resized, 0 when it
    // is not shown.
    int SetWidth(int subItem, int width);
    // Takes the width the header now gives a column. Returns its sub-item, or -1.
    int TakeHeaderWidth(int headerIndex);
    // Gives the definitions the layout's widths and shows its sub-items in its order. The
    // layout was read for this number of definitions.
    void ApplyLayout(const ReportLayout& layout);

    // Header item indexes in display order, read again from the header when stale.
    const std::vector<int>& Order() const;
    // The sub-item at a display position, or -1.
    int SubItemAt(int position) const;
    // The header reordered its columns; the order is read again on its next use.
    void MarkOrderStale();
    int TotalWidth() const;
    // The focus column as a display position, -1 for none. It follows its column when the
    // order changes.
    int FocusColumn() const;
    void SetFocusColumn(int position);

  private:
    void RefreshOrder() const;

    CFlatHeaderCtrl& m_header;
    std::vector<ReportSubItem> m_definitions;
    mutable std::vector<int> m_order;
    // The sub-item of each display position, beside m_order.
    mutable std::vector<int> m_orderSubItems;
    mutable bool m_orderStale = false;
    mutable int m_focusColumn = -1;
    int m_totalWidth = 0;
};
