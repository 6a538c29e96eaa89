#include "widgets/AccessibleReportCell.h"

#include "widgets/AccessibleReportCtrl.h"
#include "widgets/CReportCtrl.h"

#include <QWidget>
#include <QWindow>

AccessibleReportCell::AccessibleReportCell(CReportCtrl* control, int row, int column)
    : m_control(control), m_row(row), m_column(column) {
}

int AccessibleReportCell::HeaderIndex() const {
    const std::vector<int>& order = m_control->GetColumnOrder();
    if (m_column < 0 || m_column >= static_cast<int>(order.size())) {
        return -1;
    }
    return order[static_cast<std::size_t>(m_column)];
}

bool AccessibleReportCell::isValid() const {
    return m_control != nullptr && m_row >= 0 && m_row < m_control->GetItemCount() &&
           HeaderIndex() >= 0;
}

QObject* AccessibleReportCell::object() const {
    return nullptr;
}

QWindow* AccessibleReportCell::window() const {
    if (m_control == nullptr) {
        return nullptr;
    }
    return m_control->window()->windowHandle();
}

QAccessibleInterface* AccessibleReportCell::parent() const {
    return QAccessible::queryAccessibleInterface(m_control.data());
}

QAccessibleInterface* AccessibleReportCell::child(int /*index*/) const {
    return nullptr;
}

int AccessibleReportCell::childCount() const {
    return 0;
}

int AccessibleReportCell::indexOfChild(const QAccessibleInterface* /*child*/) const {
    return -1;
}

QAccessibleInterface* AccessibleReportCell::childAt(int /*x*/, int /*y*/) const {
    return nullptr;
}

QString AccessibleReportCell::text(QAccessible::Text type) const {
    if (!isValid() || type != QAccessible::Name) {
        return {};
    }
    const int item = m_control->GetItemFromRow(m_row);
    return QString::fromStdString(
        m_control->GetItemText(item, m_control->GetColumnSubItem(m_column)));
}

void AccessibleReportCell::setText(QAccessible::Text /*type*/, const QString& /*text*/) {
}

QRect AccessibleReportCell::rect() const {
    if (!isValid()) {
        return {};
    }
    const QRect cell = m_control->GetCellRect(m_row, HeaderIndex());
    if (cell.isEmpty()) {
        return {};
    }
    return QRect(m_control->mapToGlobal(cell.topLeft()), cell.size());
}

QAccessible::Role AccessibleReportCell::role() const {
    return QAccessible::Cell;
}

QAccessible::State AccessibleReportCell::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.focusable = true;
    state.selected = isSelected();
    state.focused = m_control->HasFocus() && m_row == m_control->GetFocusRow();
    if (rect().isEmpty()) {
        state.invisible = true;
        state.offscreen = true;
    }
    return state;
}

void* AccessibleReportCell::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface) {
        return static_cast<QAccessibleTableCellInterface*>(this);
    }
    if (type == QAccessible::ActionInterface) {
        return static_cast<QAccessibleActionInterface*>(this);
    }
    return nullptr;
}

bool AccessibleReportCell::isSelected() const {
    return isValid() && (m_control->GetItemState(m_row) & kReportStateSelected) != 0;
}

QList<QAccessibleInterface*> AccessibleReportCell::columnHeaderCells() const {
    auto* table = dynamic_cast<AccessibleReportCtrl*>(parent());
    if (table == nullptr) {
        return {};
    }
    QAccessibleInterface* header = table->HeaderCell(m_column);
    if (header == nullptr) {
        return {};
    }
    return {header};
}

QList<QAccessibleInterface*> AccessibleReportCell::rowHeaderCells() const {
    return {};
}

int AccessibleReportCell::columnIndex() const {
    return m_column;
}

int AccessibleReportCell::rowIndex() const {
    return m_row;
}

int AccessibleReportCell::columnExtent() const {
    return 1;
}

int AccessibleReportCell::rowExtent() const {
    return 1;
}

QAccessibleInterface* AccessibleReportCell::table() const {
    return parent();
}

QStringList AccessibleReportCell::actionNames() const {
    return {QAccessibleActionInterface::setFocusAction(),
            QAccessibleActionInterface::toggleAction()};
}

void AccessibleReportCell::doAction(const QString& actionName) {
    if (!isValid()) {
        return;
    }
    if (actionName == QAccessibleActionInterface::setFocusAction()) {
        m_control->setFocus(Qt::OtherFocusReason);
        m_control->SelectRange(m_row, m_row, kReportSelectApply | kReportSelectNotify);
        m_control->EnsureVisible(m_control->GetItemFromRow(m_row), true);
    } else if (actionName == QAccessibleActionInterface::toggleAction()) {
        m_control->SelectRange(m_row, m_row,
                               kReportSelectApply | kReportSelectKeepOthers | kReportSelectToggle |
                                   kReportSelectNotify);
    }
}

QStringList AccessibleReportCell::keyBindingsForAction(const QString& /*actionName*/) const {
    return {};
}
