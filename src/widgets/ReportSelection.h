#pragma once

#include <cstdint>
#include <vector>

class CReportCtrl;
class ReportItemStore;

// The selection and focus of a report control's rows: the focus row (whose item carries the
// focus bit), the anchor of range selections, and every change of the selected bits, which all
// go through SelectRange. With kReportSelectNotify the owner is asked before each change and
// told after it; the control repaints what changed.
class ReportSelection {
  public:
    ReportSelection(CReportCtrl& control, ReportItemStore& store);

    // -1 at the start, -2 after every item was deleted.
    int FocusRow() const;
    int AnchorRow() const;
    void SetAnchorRow(int row);

    void SelectRange(int first, int last, uint32_t flags);
    // Moves the focus bit from the old focus row's item to row's.
    void MoveFocus(int row);
    // Toggles every row, then puts the focus back where it was.
    void Invert();
    // The next selected item after item in item order, or -2.
    int NextSelected(int item) const;
    // Changes state bits of the item at row directly; the selection list follows the bit.
    void SetState(int row, uint32_t state, uint32_t mask);

    // Keeps the focus row on its item as rows come and go or are sorted.
    void ItemInserted(int index);
    void RowDeleted(int row);
    void AllDeleted();
    void RowsSorted(int focusItem);

  private:
    // Sets or clears the selected bit of item (at row) unless the owner vetoes.
    void Change(int item, int row, uint32_t state, bool notify);

    CReportCtrl& m_control;
    ReportItemStore& m_store;
    int m_focusRow = -1;
    int m_anchorRow = -1;
};
