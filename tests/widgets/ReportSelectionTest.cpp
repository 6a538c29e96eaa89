#include "ReportFixture.h"

#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/ReportSorter.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(ReportSelection, RangesAskTheOwnerAndClearOnlyWhatTheyMay) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows({"a", "b", "c", "d", "e", "f"});
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
    fixture.AddRows({"d", "b", "c", "a"});
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

    // Bits set directly change only the bits under the mask and join the selection list, so a
    // plain selection clears them.
    control.SetItemState(2, kReportStateSelected, kReportStateSelected);
    EXPECT_EQ(control.GetItemState(2), kReportStateSelected | kReportStateFocused);
    control.SelectItem(0, false);
    EXPECT_EQ(SelectedRows(control), std::vector<int>{3});
}

TEST(ReportSelection, TheSelectionListFollowsItsItemsAsOthersComeAndGo) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows({"a", "b", "c", "d", "e", "f", "g"});
    control.SelectRange(2, 3, kReportSelectApply);
    control.SelectRange(5, 5, kReportSelectApply | kReportSelectKeepOthers);
    ASSERT_EQ(control.GetSelectionList(), (std::vector<int>{2, 3, 5}));

    struct Step {
        const char* what;
        bool insert;
        int item;
        std::vector<int> listed;
    };
    const Step steps[] = {
        {"delete an item after the selected ones", false, 6, {2, 3, 5}},
        {"delete an item before the selected ones", false, 0, {1, 2, 4}},
        {"delete an item between selected ones", false, 3, {1, 2, 3}},
        {"delete the first of two adjacent selected items", false, 1, {1, 2}},
        {"insert at the first of two adjacent selected items", true, 1, {2, 3}},
    };
    for (const Step& step : steps) {
        if (step.insert) {
            ReportItem inserted;
            inserted.item = step.item;
            ASSERT_EQ(control.InsertItem(inserted), step.item) << step.what;
            control.SetItemText(step.item, 1, "new");
        } else {
            ASSERT_TRUE(control.DeleteItem(step.item)) << step.what;
        }
        EXPECT_EQ(control.GetSelectionList(), step.listed) << step.what;
        EXPECT_EQ(SelectedRows(control), step.listed) << step.what;
    }
    EXPECT_EQ(TitlesInRowOrder(control), (std::vector<std::string>{"b", "new", "d", "f"}));

    // A plain selection clears every item the list names, and only those.
    control.SelectItem(0, false);
    EXPECT_EQ(SelectedRows(control), std::vector<int>{0});
    EXPECT_EQ(control.GetSelectionList(), std::vector<int>{0});
}

TEST(ReportSorting, HeaderClicksToggleTheDirectionAndImageOnlyColumnsSortByImage) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    CFlatHeaderCtrl& header = control.GetHeaderCtrl();
    fixture.AddRows({"b", "a", "C", "c"});
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

    fixture.AddRows({"x", "y", "z"});
    control.SetItemText(1, 2, "b");
    control.SetItemText(2, 2, "a");
    control.SetItemText(0, 2, std::nullopt);
    EXPECT_TRUE(control.SortItems(2, true));
    EXPECT_EQ(TitlesInRowOrder(control), (std::vector<std::string>{"x", "z", "y"}));
}

TEST(ReportSorting, ShuffledRowsSortEitherWayByTheirTexts) {
    // Texts of items 0 to 9; two pairs are equal.
    const std::vector<std::string> texts = {"g", "c", "j", "a", "e", "c", "h", "b", "i", "e"};
    std::vector<ReportSorter::Key> keys;
    for (const std::string& text : texts) {
        keys.push_back({true, text, -1});
    }
    const std::vector<std::vector<int>> shuffles = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
        {3, 7, 1, 5, 4, 9, 0, 6, 8, 2}, {2, 8, 6, 0, 9, 4, 5, 1, 7, 3},
        {5, 0, 9, 2, 7, 4, 1, 8, 3, 6}, {4, 9, 0, 6, 1, 8, 3, 7, 5, 2},
    };
    std::vector<std::string> ascending = texts;
    std::sort(ascending.begin(), ascending.end());
    std::vector<std::string> descending = ascending;
    std::reverse(descending.begin(), descending.end());
    for (const std::vector<int>& shuffle : shuffles) {
        for (const bool up : {true, false}) {
            std::vector<int> rows = shuffle;
            ReportSorter::Sort(rows, keys, up);
            std::vector<std::string> sorted;
            for (const int item : rows) {
                sorted.push_back(texts[static_cast<std::size_t>(item)]);
            }
            EXPECT_EQ(sorted, up ? ascending : descending) << (up ? "ascending" : "descending");
            std::sort(rows.begin(), rows.end());
            EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9})) << "every row once";
        }
    }
}
