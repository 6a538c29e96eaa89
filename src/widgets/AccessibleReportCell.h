#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class CReportCtrl;

// One cell of the report control for assistive technology: its text, its place, and the
// selection and focus of its row. It reads the control afresh on every question, so it always
// tells what the control shows at its row and column now. Its actions select the row alone
// (as a click) or toggle it (as Ctrl+click).
class AccessibleReportCell : public QAccessibleInterface,
                             public QAccessibleTableCellInterface,
                             public QAccessibleActionInterface {
  public:
    // The cell at row and column (display positions).
    AccessibleReportCell(CReportCtrl* control, int row, int column);

    // QAccessibleInterface
    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override;
    int rowExtent() const override;
    QAccessibleInterface* table() const override;

    // QAccessibleActionInterface
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

  private:
    // The header item index of the cell's column, or -1.
    int HeaderIndex() const;

    QPointer<CReportCtrl> m_control;
    int m_row;
    int m_column;
};
