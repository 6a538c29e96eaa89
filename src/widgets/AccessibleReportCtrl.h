#pragma once

#include <QAccessibleTableInterface>
#include <QAccessibleWidget>

#include <map>
#include <utility>

class CReportCtrl;

// The report control as assistive technology sees it: a table whose columns are the shown
// columns in display order and whose rows are the rows in display order. Its children are the
// column header cells followed by the cells row by row; cells carry their texts, selection and
// focus, and rows can be selected and unselected through it (the owner is asked first, as for
// a click).
//
// The static functions tell assistive technology of changes; they cost nothing while none
// listens.
class AccessibleReportCtrl : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit AccessibleReportCtrl(QWidget* widget);
    ~AccessibleReportCtrl() override;

    // Installs the interfaces of the report control and the flat header, once per process.
    static void Install();
    static void FocusChanged(const CReportCtrl& control);
    static void SelectionChanged(const CReportCtrl& control, int row, bool selected);
    static void CellChanged(const CReportCtrl& control, int item, int subItem);
    static void RowsChanged(const CReportCtrl& control, int row, bool inserted);
    static void ModelReset(const CReportCtrl& control);

    CReportCtrl* Control() const;
    // The header cell of a table column (display position).
    QAccessibleInterface* HeaderCell(int column) const;

    // QAccessibleInterface
    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessible::State state() const override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override;
    QAccessibleInterface* summary() const override;
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

  private:
    static int ChildIndex(const CReportCtrl& control, int row, int column);
    void ClearCache() const;

    // Cells made so far, by (row, column); header cells have row -1.
    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells;
};
