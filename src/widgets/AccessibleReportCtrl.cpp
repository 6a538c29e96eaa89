#include "widgets/AccessibleReportCtrl.h"

#include "widgets/AccessibleFlatHeader.h"
#include "widgets/AccessibleHeaderSection.h"
#include "widgets/AccessibleReportCell.h"
#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/CReportCtrl.h"

#include <algorithm>

namespace {

// Header cells are cached under this row.
constexpr int kHeaderRow = -1;

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
    if (auto* control = dynamic_cast<CReportCtrl*>(object)) {
        return new AccessibleReportCtrl(control);
    }
    if (auto* header = dynamic_cast<CFlatHeaderCtrl*>(object)) {
        return new AccessibleFlatHeader(header);
    }
    return nullptr;
}

QObject* AsObject(const CReportCtrl& control) {
    return const_cast<CReportCtrl*>(&control);
}

} // namespace

AccessibleReportCtrl::AccessibleReportCtrl(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::Table) {
}

AccessibleReportCtrl::~AccessibleReportCtrl() {
    ClearCache();
}

void AccessibleReportCtrl::Install() {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(&Factory);
        installed = true;
    }
}

int AccessibleReportCtrl::ChildIndex(const CReportCtrl& control, int row, int column) {
    const int columns = static_cast<int>(control.GetColumnOrder().size());
    return columns + row * columns + column;
}

void AccessibleReportCtrl::FocusChanged(const CReportCtrl& control) {
    const int row = control.GetFocusRow();
    if (!QAccessible::isActive() || row < 0 || row >= control.GetItemCount() ||
        control.GetColumnOrder().empty()) {
        return;
    }
    QAccessibleEvent event(AsObject(control), QAccessible::Focus);
    event.setChild(ChildIndex(control, row, std::max(0, control.GetFocusColumn())));
    QAccessible::updateAccessibility(&event);
}

void AccessibleReportCtrl::SelectionChanged(const CReportCtrl& control, int row, bool selected) {
    if (!QAccessible::isActive() || control.GetColumnOrder().empty()) {
        return;
    }
    QAccessibleEvent event(AsObject(control),
                           selected ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
    event.setChild(ChildIndex(control, row, 0));
    QAccessible::updateAccessibility(&event);
}

void AccessibleReportCtrl::CellChanged(const CReportCtrl& control, int item, int subItem) {
    if (!QAccessible::isActive()) {
        return;
    }
    const int row = control.GetRowFromItem(item);
    const std::vector<int>& order = control.GetColumnOrder();
    const int header = control.GetHeaderIndex(subItem);
    const auto found = std::find(order.begin(), order.end(), header);
    if (row < 0 || found == order.end()) {
        return;
    }
    QAccessibleEvent event(AsObject(control), QAccessible::NameChanged);
    event.setChild(ChildIndex(control, row, static_cast<int>(found - order.begin())));
    QAccessible::updateAccessibility(&event);
}

void AccessibleReportCtrl::RowsChanged(const CReportCtrl& control, int row, bool inserted) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleTableModelChangeEvent event(
        AsObject(control), inserted ? QAccessibleTableModelChangeEvent::RowsInserted
                                    : QAccessibleTableModelChangeEvent::RowsRemoved);
    event.setFirstRow(row);
    event.setLastRow(row);
    QAccessible::updateAccessibility(&event);
}

void AccessibleReportCtrl::ModelReset(const CReportCtrl& control) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleTableModelChangeEvent event(AsObject(control),
                                           QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

CReportCtrl* AccessibleReportCtrl::Control() const {
    return static_cast<CReportCtrl*>(widget());
}

void* AccessibleReportCtrl::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) {
        return static_cast<QAccessibleTableInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

int AccessibleReportCtrl::childCount() const {
    return columnCount() * (rowCount() + 1);
}

QAccessibleInterface* AccessibleReportCtrl::child(int index) const {
    const int columns = columnCount();
    if (index < 0 || columns == 0) {
        return nullptr;
    }
    if (index < columns) {
        return HeaderCell(index);
    }
    const int cell = index - columns;
    return cellAt(cell / columns, cell % columns);
}

int AccessibleReportCtrl::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) {
        return -1;
    }
    auto* editable = const_cast<QAccessibleInterface*>(child);
    if (editable->role() == QAccessible::ColumnHeader) {
        const auto* section = dynamic_cast<const AccessibleHeaderSection*>(child);
        return section != nullptr ? section->Column() : -1;
    }
    const QAccessibleTableCellInterface* cell = editable->tableCellInterface();
    if (cell == nullptr) {
        return -1;
    }
    return ChildIndex(*Control(), cell->rowIndex(), cell->columnIndex());
}

QAccessibleInterface* AccessibleReportCtrl::childAt(int x, int y) const {
    const CReportCtrl& control = *Control();
    const QPoint point = control.mapFromGlobal(QPoint(x, y));
    const std::vector<int>& order = control.GetColumnOrder();
    if (point.y() >= 0 && point.y() < control.GetRowArea().top()) {
        const CFlatHeaderCtrl& header = const_cast<CReportCtrl&>(control).GetHeaderCtrl();
        const QPoint inHeader = header.mapFrom(&control, point);
        for (std::size_t column = 0; column < order.size(); ++column) {
            if (header.GetItemRect(order[column]).contains(inHeader)) {
                return HeaderCell(static_cast<int>(column));
            }
        }
        return nullptr;
    }
    ReportHitTest hit;
    hit.point = point;
    if (control.HitTest(hit) < 0 || hit.column < 0) {
        return nullptr;
    }
    const auto found = std::find(order.begin(), order.end(), hit.column);
    if (found == order.end()) {
        return nullptr;
    }
    return cellAt(hit.row, static_cast<int>(found - order.begin()));
}

QAccessibleInterface* AccessibleReportCtrl::focusChild() const {
    const CReportCtrl& control = *Control();
    if (!control.HasFocus()) {
        return nullptr;
    }
    return cellAt(control.GetFocusRow(), std::max(0, control.GetFocusColumn()));
}

QAccessible::State AccessibleReportCtrl::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.focusable = true;
    state.multiSelectable = true;
    state.extSelectable = true;
    state.focused = Control()->HasFocus();
    return state;
}

QAccessibleInterface* AccessibleReportCtrl::caption() const {
    return nullptr;
}

QAccessibleInterface* AccessibleReportCtrl::summary() const {
    return nullptr;
}

QAccessibleInterface* AccessibleReportCtrl::HeaderCell(int column) const {
    if (column < 0 || column >= columnCount()) {
        return nullptr;
    }
    const auto key = std::make_pair(kHeaderRow, column);
    const auto found = m_cells.find(key);
    if (found != m_cells.end()) {
        return QAccessible::accessibleInterface(found->second);
    }
    auto* section = new AccessibleHeaderSection(Control(), &Control()->GetHeaderCtrl(), column);
    m_cells[key] = QAccessible::registerAccessibleInterface(section);
    return section;
}

QAccessibleInterface* AccessibleReportCtrl::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return nullptr;
    }
    const auto key = std::make_pair(row, column);
    const auto found = m_cells.find(key);
    if (found != m_cells.end()) {
        return QAccessible::accessibleInterface(found->second);
    }
    auto* cell = new AccessibleReportCell(Control(), row, column);
    m_cells[key] = QAccessible::registerAccessibleInterface(cell);
    return cell;
}

int AccessibleReportCtrl::selectedCellCount() const {
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> AccessibleReportCtrl::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    for (const int row : selectedRows()) {
        for (int column = 0; column < columnCount(); ++column) {
            cells.append(cellAt(row, column));
        }
    }
    return cells;
}

QString AccessibleReportCtrl::columnDescription(int column) const {
    const CReportCtrl& control = *Control();
    const std::vector<int>& order = control.GetColumnOrder();
    if (column < 0 || column >= static_cast<int>(order.size())) {
        return {};
    }
    FlatHeaderItem item;
    const_cast<CReportCtrl&>(control).GetHeaderCtrl().GetItem(
        order[static_cast<std::size_t>(column)], item);
    return QString::fromStdString(item.text);
}

QString AccessibleReportCtrl::rowDescription(int /*row*/) const {
    return {};
}

int AccessibleReportCtrl::selectedColumnCount() const {
    return 0;
}

int AccessibleReportCtrl::selectedRowCount() const {
    return static_cast<int>(selectedRows().size());
}

int AccessibleReportCtrl::columnCount() const {
    return static_cast<int>(Control()->GetColumnOrder().size());
}

int AccessibleReportCtrl::rowCount() const {
    return Control()->GetItemCount();
}

QList<int> AccessibleReportCtrl::selectedColumns() const {
    return {};
}

QList<int> AccessibleReportCtrl::selectedRows() const {
    const CReportCtrl& control = *Control();
    QList<int> rows;
    for (const int item : control.GetSelectionList()) {
        const int row = control.GetRowFromItem(item);
        if ((control.GetItemState(row) & kReportStateSelected) != 0) {
            rows.append(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool AccessibleReportCtrl::isColumnSelected(int /*column*/) const {
    return false;
}

bool AccessibleReportCtrl::isRowSelected(int row) const {
    return (Control()->GetItemState(row) & kReportStateSelected) != 0;
}

bool AccessibleReportCtrl::selectRow(int row) {
    if (row < 0 || row >= rowCount()) {
        return false;
    }
    Control()->SelectRange(row, row,
                           kReportSelectApply | kReportSelectKeepOthers | kReportSelectNotify);
    return isRowSelected(row);
}

bool AccessibleReportCtrl::selectColumn(int /*column*/) {
    return false;
}

bool AccessibleReportCtrl::unselectRow(int row) {
    if (row < 0 || row >= rowCount()) {
        return false;
    }
    if (isRowSelected(row)) {
        Control()->SelectRange(row, row,
                               kReportSelectApply | kReportSelectKeepOthers | kReportSelectToggle |
                                   kReportSelectNotify);
    }
    return !isRowSelected(row);
}

bool AccessibleReportCtrl::unselectColumn(int /*column*/) {
    return false;
}

void AccessibleReportCtrl::modelChange(QAccessibleTableModelChangeEvent* /*event*/) {
    ClearCache();
}

void AccessibleReportCtrl::ClearCache() const {
    for (const auto& [key, id] : m_cells) {
        QAccessible::deleteAccessibleInterface(id);
    }
    m_cells.clear();
}
