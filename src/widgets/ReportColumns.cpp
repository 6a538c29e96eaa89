#include "widgets/ReportColumns.h"

#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/ReportLayout.h"

#include <algorithm>
#include <new>
#include <string>
#include <string_view>

namespace {

// The tip of a sortable column is this text with the column's title.
constexpr std::string_view kSortTipPrefix = "Sort by: ";

} // namespace

ReportColumns::ReportColumns(CFlatHeaderCtrl& header) : m_header(header) {
}

int ReportColumns::Define(int index, const ReportSubItem& definition) {
    if (index < 0) {
        return -1;
    }
    ReportSubItem copy = definition;
    if (copy.width < 0) {
        copy.width = kReportDefaultColumnWidth;
    }
    if ((copy.format & kReportFormatImage) == 0) {
        copy.image = 0;
    }
    try {
        if (index < Count()) {
            m_definitions.insert(m_definitions.begin() + index, copy);
        } else {
            ReportSubItem unused;
            unused.width = kReportDefaultColumnWidth;
            m_definitions.resize(static_cast<std::size_t>(index) + 1, unused);
            m_definitions[static_cast<std::size_t>(index)] = copy;
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }
    for (int header = 0; header < m_header.GetItemCount(); ++header) {
        const int subItem = SubItemOfHeader(header);
        if (subItem >= index) {
            m_header.SetItemParam(header, subItem + 1);
        }
    }
    m_orderStale = true;
    return index;
}

int ReportColumns::Count() const {
    return static_cast<int>(m_definitions.size());
}

bool ReportColumns::Get(int subItem, ReportSubItem& definition) const {
    if (subItem < 0 || subItem >= Count()) {
        return false;
    }
    definition = m_definitions[static_cast<std::size_t>(subItem)];
    return true;
}

int ReportColumns::Activate(int subItem, int position) {
    if (subItem < 0 || subItem >= Count() || HeaderIndex(subItem) >= 0) {
        return -1;
    }
    const ReportSubItem& definition = m_definitions[static_cast<std::size_t>(subItem)];
    FlatHeaderItem column;
    column.width = definition.width;
    column.format = definition.format & kReportFormatHeaderMask;
    column.image = (definition.format & kReportFormatImage) != 0 ? definition.image : 0;
    if ((definition.format & kReportFormatText) != 0) {
        column.text = definition.text;
    }
    column.param = subItem;
    column.order = position;
    const int index = m_header.InsertItem(m_header.GetItemCount(), column);
    if (index < 0) {
        return index;
    }
    m_totalWidth += definition.width;
    try {
        FlatHeaderItemEx extra;
        extra.style = (definition.format >> kReportFormatStyleShift) & kReportFormatStyleByte;
        extra.minWidth = definition.minWidth;
        extra.maxWidth = definition.maxWidth;
        if ((extra.style & kHeaderStyleSortable) != 0) {
            extra.tip = std::string(kSortTipPrefix) + definition.text;
        }
        // Fitting the width to the limits reports the change (TakeHeaderWidth), which keeps
        // the definition and the total width in step.
        m_header.SetItemEx(index, extra);
    } catch (const std::bad_alloc&) {
        m_totalWidth -= m_header.GetItemRect(index).width();
        m_header.DeleteItem(index);
        return -1;
    }
    m_definitions[static_cast<std::size_t>(subItem)].width = m_header.GetItemRect(index).width();
    RefreshOrder();
    return index;
}

bool ReportColumns::Deactivate(int subItem) {
    const int index = HeaderIndex(subItem);
    if (index < 0) {
        return false;
    }
    const int width = m_header.GetItemRect(index).width();
    m_header.DeleteItem(index);
    m_totalWidth -= width;
    RefreshOrder();
    return true;
}

int ReportColumns::HeaderIndex(int subItem) const {
    if (subItem < 0) {
        return -1;
    }
    for (int index = 0; index < m_header.GetItemCount(); ++index) {
        if (SubItemOfHeader(index) == subItem) {
            return index;
        }
    }
    return -1;
}

int ReportColumns::SubItemOfHeader(int headerIndex) const {
    FlatHeaderItem column;
    if (!m_header.GetItem(headerIndex, column)) {
        return -1;
    }
    return static_cast<int>(column.param);
}

int ReportColumns::SetWidth(int subItem, int width) {
    if (subItem < 0 || subItem >= Count()) {
        return 0;
    }
    ReportSubItem& definition = m_definitions[static_cast<std::size_t>(subItem)];
    if (width < 0) {
        width = kReportDefaultColumnWidth;
    }
    width = std::max(width, definition.minWidth);
    if (definition.maxWidth != -1) {
        width = std::min(width, definition.maxWidth);
    }
    const int previous = definition.width;
    definition.width = width;
    const int index = HeaderIndex(subItem);
    if (index < 0) {
        return 0;
    }
    // The header reports the change, which finds the definition already at its new width.
    m_header.SetItemWidth(index, width);
    m_totalWidth += width - previous;
    return 1;
}

int ReportColumns::TakeHeaderWidth(int headerIndex) {
    const int subItem = SubItemOfHeader(headerIndex);
    if (subItem < 0 || subItem >= Count()) {
        return -1;
    }
    ReportSubItem& definition = m_definitions[static_cast<std::size_t>(subItem)];
    const int width = m_header.GetItemRect(headerIndex).width();
    m_totalWidth += width - definition.width;
    definition.width = width;
    return subItem;
}

void ReportColumns::ApplyLayout(const ReportLayout& layout) {
    // The widths are taken as saved, without the limits.
    const std::vector<int>& widths = layout.Widths();
    for (std::size_t i = 0; i < widths.size() && i < m_definitions.size(); ++i) {
        m_definitions[i].width = widths[i];
    }
    const std::vector<int>& order = layout.Order();
    for (std::size_t i = 0; i < order.size(); ++i) {
        Activate(order[i], static_cast<int>(i));
    }
    RefreshOrder();
}

const std::vector<int>& ReportColumns::Order() const {
    if (m_orderStale) {
        RefreshOrder();
    }
    return m_order;
}

int ReportColumns::SubItemAt(int position) const {
    Order();
    if (position < 0 || position >= static_cast<int>(m_orderSubItems.size())) {
        return -1;
    }
    return m_orderSubItems[static_cast<std::size_t>(position)];
}

void ReportColumns::MarkOrderStale() {
    m_orderStale = true;
}

int ReportColumns::TotalWidth() const {
    return m_totalWidth;
}

int ReportColumns::FocusColumn() const {
    Order();
    return m_focusColumn;
}

void ReportColumns::SetFocusColumn(int position) {
    Order();
    m_focusColumn = position;
}

void ReportColumns::RefreshOrder() const {
    int focusSubItem = -1;
    if (m_focusColumn >= 0 && m_focusColumn < static_cast<int>(m_orderSubItems.size())) {
        focusSubItem = m_orderSubItems[static_cast<std::size_t>(m_focusColumn)];
    }
    m_order = m_header.GetOrderArray();
    m_orderSubItems.clear();
    for (const int index : m_order) {
        m_orderSubItems.push_back(SubItemOfHeader(index));
    }
    m_orderStale = false;
    const auto found = std::find(m_orderSubItems.begin(), m_orderSubItems.end(), focusSubItem);
    m_focusColumn = -1;
    if (focusSubItem >= 0 && found != m_orderSubItems.end()) {
        m_focusColumn = static_cast<int>(found - m_orderSubItems.begin());
    }
}
