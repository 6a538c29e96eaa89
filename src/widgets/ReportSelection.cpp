#include "widgets/ReportSelection.h"

#include "widgets/AccessibleReportCtrl.h"
#include "widgets/CReportCtrl.h"
#include "widgets/ReportItemStore.h"
#include "widgets/ReportNotifier.h"

#include <algorithm>

ReportSelection::ReportSelection(CReportCtrl& control, ReportItemStore& store)
    : m_control(control), m_store(store) {
}

int ReportSelection::FocusRow() const {
    return m_focusRow;
}

int ReportSelection::AnchorRow() const {
    return m_anchorRow;
}

void ReportSelection::SetAnchorRow(int row) {
    m_anchorRow = row;
}

void ReportSelection::SelectRange(int first, int last, uint32_t flags) {
    const bool apply = (flags & kReportSelectApply) != 0;
    const bool keepOthers = (flags & kReportSelectKeepOthers) != 0;
    const bool toggle = (flags & kReportSelectToggle) != 0;
    const bool notify = (flags & kReportSelectNotify) != 0;
    MoveFocus(first);
    if (first > last) {
        std::swap(first, last);
    }
    if (!apply) {
        return;
    }
    for (int row = std::max(0, first); row <= last && row < m_store.Count(); ++row) {
        const int item = m_store.ItemFromRow(row);
        const uint32_t old = m_store.Item(item).state;
        Change(item, row, toggle ? old ^ kReportStateSelected : old | kReportStateSelected, notify);
    }
    m_control.RedrawRows(first, last);
    if (keepOthers) {
        return;
    }
    // Only the items in the selection list can be selected outside the range.
    const std::vector<int> listed = m_store.SelectionList();
    for (const int item : listed) {
        if (!m_store.IsItem(item)) {
            continue;
        }
        const int row = m_store.RowFromItem(item);
        const uint32_t old = m_store.Item(item).state;
        if ((row >= first && row <= last) || (old & kReportStateSelected) == 0) {
            continue;
        }
        Change(item, row, old & ~kReportStateSelected, notify);
        m_control.RedrawRows(row, row);
    }
    std::vector<int> remaining;
    for (const int item : m_store.SelectionList()) {
        if (m_store.IsItem(item) && (m_store.Item(item).state & kReportStateSelected) != 0) {
            remaining.push_back(item);
        }
    }
    m_store.SetSelectionList(std::move(remaining));
}

void ReportSelection::Change(int item, int row, uint32_t state, bool notify) {
    if (state == m_store.Item(item).state) {
        return;
    }
    if (notify &&
        m_control.m_notifier->NotifySelection(kReportNotifySelectionChanging, item, state) != 0) {
        return;
    }
    // The owner may have deleted items while it was asked.
    if (!m_store.IsItem(item)) {
        return;
    }
    const bool selected = (state & kReportStateSelected) != 0;
    if (selected) {
        m_store.AddToSelection(item);
    } else {
        m_store.RemoveFromSelection(item);
    }
    m_store.Item(item).state = state;
    if (notify) {
        m_control.m_notifier->NotifySelection(kReportNotifySelectionChanged, item, state);
    }
    AccessibleReportCtrl::SelectionChanged(m_control, row, selected);
}

void ReportSelection::MoveFocus(int row) {
    if (m_focusRow != row && m_store.IsRow(m_focusRow)) {
        m_store.Item(m_store.ItemFromRow(m_focusRow)).state &= ~kReportStateFocused;
        m_control.RedrawRows(m_focusRow, m_focusRow);
    }
    m_focusRow = row;
    if (m_store.IsRow(row)) {
        m_store.Item(m_store.ItemFromRow(row)).state |= kReportStateFocused;
        m_control.RedrawRows(row, row);
    }
    if (m_control.HasFocus()) {
        AccessibleReportCtrl::FocusChanged(m_control);
    }
}

void ReportSelection::Invert() {
    if (m_store.Count() == 0) {
        return;
    }
    const int focus = m_focusRow;
    SelectRange(0, m_store.Count() - 1,
                kReportSelectApply | kReportSelectKeepOthers | kReportSelectToggle);
    SelectRange(focus, focus, 0);
}

int ReportSelection::NextSelected(int item) const {
    for (int next = item < 0 ? 0 : item + 1; next < m_store.Count(); ++next) {
        if ((m_store.Item(next).state & kReportStateSelected) != 0) {
            return next;
        }
    }
    return kReportNone;
}

void ReportSelection::SetState(int row, uint32_t state, uint32_t mask) {
    const int item = m_store.ItemFromRow(row);
    if (!m_store.IsItem(item)) {
        return;
    }
    uint32_t& current = m_store.Item(item).state;
    const bool wasSelected = (current & kReportStateSelected) != 0;
    current = (current & ~mask) | (state & mask);
    // The selection list follows the selected bit, so that a later selection clears it.
    const bool selected = (current & kReportStateSelected) != 0;
    if (selected && !wasSelected) {
        m_store.AddToSelection(item);
    } else if (!selected && wasSelected) {
        m_store.RemoveFromSelection(item);
    }
}

void ReportSelection::ItemInserted(int index) {
    if (m_focusRow >= index) {
        ++m_focusRow;
    }
}

void ReportSelection::RowDeleted(int row) {
    // The focus follows the rows: a focus at or below the deleted row moves up by one, and
    // the item now at the focus row holds the focus.
    if (m_focusRow >= row) {
        --m_focusRow;
    }
    m_focusRow = std::min(m_focusRow, m_store.Count() - 1);
    if (m_store.IsRow(m_focusRow)) {
        m_store.Item(m_store.ItemFromRow(m_focusRow)).state |= kReportStateFocused;
    }
}

void ReportSelection::AllDeleted() {
    m_focusRow = kReportNone;
}

void ReportSelection::RowsSorted(int focusItem) {
    if (m_store.IsItem(focusItem)) {
        m_focusRow = m_store.RowFromItem(focusItem);
    }
}
