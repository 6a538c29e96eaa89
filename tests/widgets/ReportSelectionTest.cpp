#include "ReportFixture.h"

#include "widgets/CFlatHeaderCtrl.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int> SelectedRows(const CReportCtrl& control) {
    std::vector<int> rows;
    for (int row = 0; row < control.GetItemCount(); ++row) {
        if ((control.GetItemState(row) & kReportStateSelected) != 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<std::string> TitlesInRowOrder(const CReportCtrl& control) {
    std::vector<std::string> titles;
    for (const int item : control.GetRowOrder()) {
        titles.push_back(control.GetItemText(item, 1));
    }
    return titles;
}

void AddRows(ReportFixture& fixture, const std::vector<std::string>& titles) {
    for (const std::string& title : titles) {
        fixture.AddRow(title, "", "");
    }
}

} // namespace

TEST(ReportSelection, RangesAskTheOwnerAndClearOnlyWhatTheyMay) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    AddRows(fixture, {"a", "b", "c", "d", "e", "f"});
    control.SelectRange(4, 4, kReportSelectApply);
    control.SelectRange(1, 1, kReportSelectApply | kReportSelectKeepOthers);
    EXPECT_EQ(control.GetSelectionList(), (std::vector<int>{4, 1}));
    EXPECT_TRUE(fixture.listener.notifies.empty()) << "no notify flag, no notifications";

    // The owner keeps item 4 selected and item 3 unselected.
    fixture.listener.answer = [](const ReportNotify& notify) {
        const bool changing = notify.header.code == kReportNotifySelectionChanging;
        return changing && (notify.item == 4 || notify.item == 3) ? 1 : 0;
    };
    control.SelectRange(3, 2, kReportSelectApply | kReportSelectNotify);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{2, 4}));
    EXPECT_EQ(control.GetSelectionList(), (std::vector<int>{4, 2}));
    EXPECT_EQ(control.GetFocusRow(), 3) << "the focus goes to the first row given";
    EXPECT_EQ(control.GetItemState(3), kReportStateFocused);

    std::vector<std::pair<int, int>> changes;
    for (const ReportNotify& notify : fixture.listener.notifies) {
        changes.emplace_back(notify.header.code, notify.item);
        EXPECT_EQ(notify.subItem, -1);
        EXPECT_EQ(notify.param, 0U);
    }
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{kReportNotifySelectionChanging, 2},
                                                         {kReportNotifySelectionChanged, 2},
                                                         {kReportNotifySelectionChanging, 3},
                                                         {kReportNotifySelectionChanging, 4},
                                                         {kReportNotifySelectionChanging, 1},
                                                         {kReportNotifySelectionChanged, 1}}));
    const std::vector<ReportNotify> changed =
        fixture.listener.WithCode(kReportNotifySelectionChanged);
    EXPECT_EQ(changed[0].state, kReportStateSelected) << "item 2 turned on";
    EXPECT_EQ(changed[1].state, 0U) << "item 1 turned off";

    // Only the focus moves without the apply flag.
    control.SelectRange(0, 5, 0);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{2, 4}));
    EXPECT_EQ(control.GetFocusRow(), 0);
    EXPECT_EQ(control.GetItemState(3), 0U);
}

TEST(ReportSelection, InvertKeepsTheFocusAndNextSelectedFollowsItemOrder) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    AddRows(fixture, {"d", "b", "c", "a"});
    control.SelectItem(0, false);
    control.SelectItem(2, true);
    control.InvertSelection();
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{1, 3}));
    EXPECT_EQ(control.GetFocusRow(), 2);
    EXPECT_EQ(control.GetItemState(2), kReportStateFocused);
    EXPECT_TRUE(fixture.listener.notifies.empty());

    control.SortItems(1, true);
    EXPECT_EQ(TitlesInRowOrder(control), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(control.GetRowOrder(), (std::vector<int>{3, 1, 2, 0}));
    EXPECT_EQ(control.GetFirstSelectedItem(), 1);
    EXPECT_EQ(control.GetNextSelectedItem(1), 3);
    EXPECT_EQ(control.GetNextSelectedItem(3), -2);
    EXPECT_EQ(control.GetFocusRow(), 2) << "the focused item keeps the focus where it went";

    // Bits set directly join the selection list, so a plain selection clears them.
    control.SetItemState(0, kReportStateSelected, kReportStateSelected);
    EXPECT_EQ(control.GetFirstSelectedItem(), 1);
    control.SelectItem(0, false);
    EXPECT_EQ(SelectedRows(control), std::vector<int>{3});
}

TEST(ReportSorting, HeaderClicksToggleTheDirectionAndImageOnlyColumnsSortByImage) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    CFlatHeaderCtrl& header = control.GetHeaderCtrl();
    AddRows(fixture, {"b", "a", "C", "c"});
    for (int item = 0; item < 4; ++item) {
        ReportItem image;
        image.mask = kReportMaskImage;
        image.item = item;
        image.subItem = 0;
        image.image = (item * 3) % 4;
        control.SetItem(image);
    }
    const auto click = [&](int subItem) {
        const QRect column = header.GetItemRect(control.GetHeaderIndex(subItem));
        QTest::mouseClick(&header, Qt::LeftButton, Qt::NoModifier, column.center());
    };
    click(1);
    EXPECT_EQ(TitlesInRowOrder(control), (std::vector<std::string>{"C", "a", "b", "c"}));
    bool ascending = false;
    EXPECT_EQ(header.GetSortColumn(&ascending), control.GetHeaderIndex(1));
    EXPECT_TRUE(ascending);
    click(1);
    EXPECT_EQ(TitlesInRowOrder(control), (std::vector<std::string>{"c", "b", "a", "C"}));
    header.GetSortColumn(&ascending);
    EXPECT_FALSE(ascending);
    click(0);
    header.GetSortColumn(&ascending);
    EXPECT_TRUE(ascending) << "another column starts ascending";
    // Images 0, 3, 2, 1 for items b, a, C, c.
    EXPECT_EQ(TitlesInRowOrder(control), (std::vector<std::string>{"b", "c", "C", "a"}));
    ASSERT_EQ(fixture.listener.columnNotifies.size(), 3U);
    EXPECT_EQ(fixture.listener.columnNotifies[2].header.code, kReportNotifyColumnClick);
    EXPECT_EQ(fixture.listener.columnNotifies[2].subItem, 0);

    // The owner can keep the order.
    fixture.listener.columnAnswer = [](const ReportColumnNotify&) { return 1; };
    click(1);
    EXPECT_EQ(TitlesInRowOrder(control), (std::vector<std::string>{"b", "c", "C", "a"}));
}

TEST(ReportSorting, CellsWithoutTextSortAsEmptyAndAnEmptyListOnlyShowsTheMark) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    EXPECT_FALSE(control.SortItems(2, false));
    bool ascending = true;
    EXPECT_EQ(control.GetHeaderCtrl().GetSortColumn(&ascending), control.GetHeaderIndex(2));
    EXPECT_FALSE(ascending);
    EXPECT_FALSE(control.SortItems(9, true));

    AddRows(fixture, {"x", "y", "z"});
    control.SetItemText(1, 2, "b");
    control.SetItemText(2, 2, "a");
    control.SetItemText(0, 2, std::nullopt);
    EXPECT_TRUE(control.SortItems(2, true));
    EXPECT_EQ(TitlesInRowOrder(control), (std::vector<std::string>{"x", "z", "y"}));
}
