#include "widgets/ReportItemStore.h"

#include "widgets/ReportConstants.h"

#include <algorithm>

void ReportItemStore::Insert(int index, ReportItemRecord record) {
    const bool appending = index == Count();
    m_items.insert(m_items.begin() + index, std::move(record));
    m_rowOrder.insert(m_rowOrder.begin() + index, index);
    // Appending moves no other item, so no entry changes and a fresh map grows by one.
    if (appending) {
        if (!m_mapStale) {
            m_rowOfItem.push_back(index);
        }
        return;
    }
    for (std::size_t row = 0; row < m_rowOrder.size(); ++row) {
        if (row != static_cast<std::size_t>(index) && m_rowOrder[row] >= index) {
            ++m_rowOrder[row];
        }
    }
    for (int& entry : m_selection) {
        if (entry >= index) {
            ++entry;
        }
    }
    m_mapStale = true;
}

void ReportItemStore::Remove(int item) {
    m_items.erase(m_items.begin() + item);
    m_rowOrder.erase(std::find(m_rowOrder.begin(), m_rowOrder.end(), item));
    for (int& entry : m_rowOrder) {
        if (entry > item) {
            --entry;
        }
    }
    RemoveFromSelection(item);
    for (int& entry : m_selection) {
        if (entry > item) {
            --entry;
        }
    }
    m_mapStale = true;
}

void ReportItemStore::Clear() {
    m_items.clear();
    m_rowOrder.clear();
    m_rowOfItem.clear();
    m_selection.clear();
    m_mapStale = false;
}

int ReportItemStore::RowFromItem(int item) const {
    if (item == kReportDefault || item == kReportNone) {
        return item;
    }
    if (!IsItem(item)) {
        return kReportNone;
    }
    RebuildMapIfStale();
    return m_rowOfItem[static_cast<std::size_t>(item)];
}

const std::vector<int>& ReportItemStore::RowOrder() const {
    return m_rowOrder;
}

std::vector<int>& ReportItemStore::ReorderRows() {
    m_mapStale = true;
    return m_rowOrder;
}

const std::vector<int>& ReportItemStore::SelectionList() const {
    return m_selection;
}

void ReportItemStore::AddToSelection(int item) {
    m_selection.push_back(item);
}

void ReportItemStore::RemoveFromSelection(int item) {
    const auto found = std::find(m_selection.begin(), m_selection.end(), item);
    if (found != m_selection.end()) {
        m_selection.erase(found);
    }
}

void ReportItemStore::SetSelectionList(std::vector<int> items) {
    m_selection = std::move(items);
}

void ReportItemStore::RebuildMapIfStale() const {
    if (!m_mapStale) {
        return;
    }
    m_rowOfItem.assign(m_items.size(), kReportNone);
    for (std::size_t row = 0; row < m_rowOrder.size(); ++row) {
        m_rowOfItem[static_cast<std::size_t>(m_rowOrder[row])] = static_cast<int>(row);
    }
    m_mapStale = false;
}
