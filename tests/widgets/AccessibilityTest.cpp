#include "ReportFixture.h"

#include "widgets/CFlatHeaderCtrl.h"

#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

TEST(ReportAccessibility, TheControlReadsAsATableWithHeadersRowsAndCells) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRow("Beta", "http://b.example/", "Bing");
    fixture.AddRow("Alpha", "http://a.example/", "Ask");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&control);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->rowCount(), 2);
    EXPECT_EQ(cells->columnCount(), 4);
    EXPECT_EQ(table->childCount(), 4 * 3);
    EXPECT_EQ(cells->columnDescription(3), "Search Engines");

    QAccessibleInterface* header = table->child(1);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(header->text(QAccessible::Name), "Title");
    EXPECT_EQ(header->text(QAccessible::Description), "Sort by: Title");

    QAccessibleInterface* address = cells->cellAt(1, 2);
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->role(), QAccessible::Cell);
    EXPECT_EQ(address->text(QAccessible::Name), "http://a.example/");
    EXPECT_EQ(address->parent(), table);
    EXPECT_EQ(table->indexOfChild(address), 4 + 1 * 4 + 2);
    EXPECT_EQ(table->child(4 + 1 * 4 + 2), address);
    QAccessibleTableCellInterface* place = address->tableCellInterface();
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place->rowIndex(), 1);
    EXPECT_EQ(place->columnIndex(), 2);
    ASSERT_EQ(place->columnHeaderCells().size(), 1);
    EXPECT_EQ(place->columnHeaderCells().front()->text(QAccessible::Name), "Address");
    EXPECT_EQ(address->rect().center(), control.mapToGlobal(fixture.CellCentre(1, 2)));
    EXPECT_EQ(table->childAt(address->rect().center().x(), address->rect().center().y()), address);

    // Rows are display rows: sorting changes what a cell reads.
    control.SortItems(1, true);
    EXPECT_EQ(cells->cellAt(0, 1)->text(QAccessible::Name), "Alpha");
    EXPECT_EQ(cells->cellAt(1, 3)->text(QAccessible::Name), "Bing");
    EXPECT_EQ(cells->cellAt(2, 0), nullptr);

    // The header's own interface: a row of column headers that press like clicks.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&control.GetHeaderCtrl());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->childCount(), 4);
    EXPECT_EQ(bar->child(2)->text(QAccessible::Name), "Address");
    bar->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(cells->cellAt(0, 1)->text(QAccessible::Name), "Beta") << "sorted descending";
}

TEST(ReportAccessibility, RowsAreSelectedThroughTheOwnerAndStatesFollow) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows({"a", "b", "c"});
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&control);
    QAccessibleTableInterface* cells = table->tableInterface();
    EXPECT_TRUE(table->state().multiSelectable);

    EXPECT_TRUE(cells->selectRow(0));
    EXPECT_TRUE(cells->selectRow(2));
    EXPECT_EQ(cells->selectedRows(), (QList<int>{0, 2}));
    EXPECT_EQ(cells->selectedRowCount(), 2);
    EXPECT_EQ(cells->selectedCellCount(), 8);
    EXPECT_TRUE(cells->cellAt(2, 1)->state().selected);
    EXPECT_FALSE(cells->cellAt(1, 1)->state().selected);
    EXPECT_TRUE(cells->unselectRow(0));
    EXPECT_EQ(cells->selectedRows(), QList<int>{2});
    EXPECT_EQ(fixture.listener.WithCode(kReportNotifySelectionChanged).size(), 3U);

    fixture.listener.answer = [](const ReportNotify& notify) {
        return notify.header.code == kReportNotifySelectionChanging ? 1 : 0;
    };
    EXPECT_FALSE(cells->selectRow(1)) << "the owner refused";
    fixture.listener.answer = nullptr;

    fixture.Focus();
    EXPECT_TRUE(table->state().focused);
    EXPECT_TRUE(cells->cellAt(1, 0)->state().focused) << "row 1 holds the focus";
    EXPECT_EQ(table->focusChild(), cells->cellAt(1, 0));

    cells->cellAt(0, 2)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(cells->selectedRows(), (QList<int>{0, 2}));
    cells->cellAt(1, 2)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_EQ(cells->selectedRows(), QList<int>{1});
}
