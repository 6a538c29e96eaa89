#include "ReportFixture.h"

#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Rows = std::vector<int>;
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

} // namespace

TEST(ReportInput, ShiftRangesSpanFromTheAnchorAndCtrlClicksToggle) {
    ReportFixture fixture(QSize(420, 400));
    CReportCtrl& control = fixture.control;
    fixture.AddRows(10);
    fixture.Focus();
    fixture.Unfocus();
    // row -1 presses Down; focus -1 is not checked.
    const auto step = [&](int row, Qt::KeyboardModifiers keys, const Rows& selected, int focus) {
        row < 0 ? fixture.Key(Qt::Key_Down, keys) : fixture.Click(row, keys);
        EXPECT_EQ(SelectedRows(control), selected) << row;
        EXPECT_TRUE(focus < 0 || control.GetFocusRow() == focus) << row;
    };
    step(3, kNone, {3}, 3);
    EXPECT_TRUE(control.HasFocus()) << "a click takes the focus";
    step(7, kShift, {3, 4, 5, 6, 7}, 3); // the focus rectangle stays on the anchor
    step(5, kShift, {3, 4, 5}, 3);
    step(3, kNone, {3}, 3);
    step(-1, kShift, {3, 4}, 4);
    step(-1, kShift, {3, 4, 5}, 5);
    step(1, kCtrl, {1, 3, 4, 5}, -1);
    step(4, kCtrl, {1, 3, 5}, -1);
    step(8, kCtrl | kShift, {1, 3, 4, 5, 6, 7, 8}, -1);
    step(6, kNone, {6}, 6);
    EXPECT_EQ(control.GetSelectionList(), Rows{6});
}

TEST(ReportInput, MouseNotificationsCarryTheHitAndTheOwnersAnswerDecides) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows(4);
    RecordingReportListener& listener = fixture.listener;
    const auto refuse = [&listener](int code, int item) {
        listener.answer = [code, item](const ReportNotify& notify) {
            return notify.header.code == code && (item < 0 || notify.item == item) ? 1 : 0;
        };
    };
    // The owner refuses to let item 2 be selected by the range.
    refuse(kReportNotifySelectionChanging, 2);
    fixture.Click(0);
    fixture.Click(3, kShift);
    EXPECT_EQ(SelectedRows(control), (Rows{0, 1, 3}));

    listener.Clear();
    const QPoint image = control.GetCellRect(1, control.GetHeaderIndex(0)).topLeft() +
                         QPoint(kReportCellMargin + 4, 4);
    QTest::mouseClick(&control, Qt::LeftButton, kCtrl, image);
    const std::vector<ReportNotify> downs = listener.WithCode(kReportNotifyLeftButtonDown);
    ASSERT_EQ(downs.size(), 1U);
    EXPECT_EQ(downs[0].keys, kReportKeyLeftButton | kReportKeyControl);
    EXPECT_EQ(downs[0].point, image);
    EXPECT_EQ(downs[0].flags, kReportHitImage);
    EXPECT_EQ(downs[0].item, 1);
    EXPECT_EQ(downs[0].subItem, 0);
    EXPECT_EQ(downs[0].param, 1U);
    EXPECT_EQ(control.GetFocusColumn(), 0);

    // A nonzero answer to the button going down leaves the selection alone.
    refuse(kReportNotifyLeftButtonDown, -1);
    fixture.Click(2);
    EXPECT_EQ(SelectedRows(control), (Rows{0, 3}));

    // The right button selects the row alone unless the owner answers, or a modifier is down.
    const auto right = [&](bool refused, Qt::KeyboardModifiers keys, int row, const Rows& rows) {
        listener.answer = nullptr;
        if (refused) {
            refuse(kReportNotifyRightButtonDown, -1);
        }
        QTest::mouseClick(&control, Qt::RightButton, keys, fixture.CellCentre(row, 2));
        EXPECT_EQ(SelectedRows(control), rows) << row;
    };
    right(false, kShift, 2, {0, 3});
    right(false, kNone, 2, {2});
    right(true, kNone, 1, {2});
    const std::vector<ReportNotify> rights = listener.WithCode(kReportNotifyRightButtonDown);
    ASSERT_EQ(rights.size(), 3U);
    EXPECT_EQ(rights[2].keys, kReportKeyRightButton);
    EXPECT_EQ(rights[2].flags, kReportHitCell);
    EXPECT_EQ(rights[2].subItem, 2);

    listener.Clear();
    QTest::mouseDClick(&control, Qt::LeftButton, kNone, fixture.CellCentre(3, 3));
    const std::vector<ReportNotify> doubles = listener.WithCode(kReportNotifyDoubleClick);
    ASSERT_EQ(doubles.size(), 1U);
    EXPECT_EQ(doubles[0].item, 3);
    EXPECT_EQ(doubles[0].param, 3U);
}

TEST(ReportInput, HitTestsNameWhereAPointLies) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows(2);
    const QRect last = control.GetRowRect(1);
    const int address = control.GetHeaderIndex(2);
    ReportHitTest hit;
    const auto test = [&](QPoint point, int result, uint32_t flags, int row, int column) {
        hit.point = point;
        EXPECT_EQ(control.HitTest(hit), result) << point.x() << "," << point.y();
        EXPECT_EQ(hit.flags, flags) << point.x() << "," << point.y();
        EXPECT_EQ(hit.row, row) << point.x() << "," << point.y();
        EXPECT_EQ(hit.column, column) << point.x() << "," << point.y();
    };
    test(QPoint(10, 2), -2, kReportHitAbove, -2, -1); // the header lies above the rows
    test(QPoint(control.GetClientRect().width() + 3, 40), -2, kReportHitToRight, -2, -1);
    test(QPoint(10, last.bottom() + 5), -2, kReportHitNowhere, -2, -1);
    // Right of the last column: the number of header items.
    test(QPoint(control.GetTotalWidth() + 5, last.top() + 2), 1, kReportHitNowhere, 1, 4);
    test(fixture.CellCentre(1, 2), 1, kReportHitCell, 1, address);
    EXPECT_EQ(hit.subItem, 2);
    EXPECT_EQ(hit.cellRect, control.GetCellRect(1, address));
    EXPECT_EQ(hit.cellRect.height(), control.GetRowHeight());
}

TEST(ReportInput, WheelScrollsLinesOrPagesPerNotch) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows(60);
    const int page = control.GetWholeVisibleRows();
    const auto wheel = [&control](int lines, int delta, int times, int first) {
        control.SetWheelScrollLines(lines);
        const QPoint point(50, 50);
        QWheelEvent event(point, control.mapToGlobal(point), QPoint(), QPoint(0, delta),
                          Qt::NoButton, kNone, Qt::NoScrollPhase, false);
        for (int i = 0; i < times; ++i) {
            QApplication::sendEvent(&control, &event);
        }
        EXPECT_EQ(control.GetFirstVisibleRow(), first) << lines << " " << delta;
    };
    wheel(3, -120, 1, 3);
    wheel(3, -120, 1, 6);
    wheel(3, 120, 1, 3);
    wheel(3, -10, 4, 4);     // fine-grained wheels add up to whole lines
    wheel(3, 120 * 5, 1, 0); // never above the top
    wheel(CReportCtrl::kWheelPageScroll, -120, 1, page);
    wheel(CReportCtrl::kWheelPageScroll, -120 * 100, 1, 60 - page); // the last page stays full
}

TEST(ReportInput, KeysMoveTheFocusAndTheSelectionAfterAskingTheOwner) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows(40);
    fixture.Focus();
    const int page = control.GetWholeVisibleRows();
    const auto key = [&](Qt::Key key, Qt::KeyboardModifiers keys, int focus, std::size_t selected,
                         int first) {
        fixture.Key(key, keys);
        EXPECT_EQ(control.GetFocusRow(), focus) << key;
        EXPECT_EQ(SelectedRows(control).size(), selected) << key;
        EXPECT_EQ(control.GetFirstVisibleRow(), first) << key;
    };
    key(Qt::Key_Down, kNone, 0, 1, 0); // Down starts at the top
    key(Qt::Key_Up, kNone, 0, 1, 0);
    key(Qt::Key_PageDown, kNone, page - 1, 1, 0); // first to the last whole row
    key(Qt::Key_PageDown, kNone, 2 * page - 1, 1, page);
    key(Qt::Key_PageUp, kNone, page, 1, page);
    key(Qt::Key_End, kNone, 39, 1, 40 - page);
    EXPECT_EQ(SelectedRows(control), Rows{39});
    key(Qt::Key_Home, kShift, 0, 40, 0);
    key(Qt::Key_Down, kCtrl, 1, 40, 0);
    key(Qt::Key_Space, kCtrl, 1, 39, 0);
    EXPECT_EQ(control.GetItemState(1) & kReportStateSelected, 0U);

    const std::vector<ReportNotify> keys = fixture.listener.WithCode(kReportNotifyKeyDown);
    ASSERT_GE(keys.size(), 2U);
    EXPECT_EQ(keys[1].keys, 0x26U) << "the virtual key of Up";
    EXPECT_EQ(keys[1].item, 0);
    EXPECT_NE(keys[1].flags & 0x0100U, 0U) << "an extended key";
    fixture.Key(Qt::Key_Return, kNone);
    EXPECT_EQ(fixture.listener.WithCode(kReportNotifyKeyDown).back().keys, 0x0DU) << "Return";

    // The owner may take a key for itself.
    fixture.listener.answer = [](const ReportNotify& notify) {
        return notify.header.code == kReportNotifyKeyDown ? 1 : 0;
    };
    key(Qt::Key_Down, kNone, 1, 39, 0);
}

TEST(ReportInput, LeftAndRightMoveTheFocusColumnPastColumnsThatRefuseIt) {
    ReportFixture fixture(QSize(200, 300));
    CReportCtrl& control = fixture.control;
    ReportSubItem address;
    control.GetSubItem(2, address);
    address.format |= kReportFormatNoFocus;
    control.DefineSubItem(4, address);
    control.DeactivateSubItem(2);
    control.ActivateSubItem(4, 2);
    fixture.AddRows(3);
    fixture.Focus();
    EXPECT_EQ(control.GetFocusColumn(), -1);
    for (const auto& [key, column] : std::vector<std::pair<Qt::Key, int>>{
             {Qt::Key_Right, 0}, {Qt::Key_Right, 1}, {Qt::Key_Right, 3}}) {
        fixture.Key(key);
        EXPECT_EQ(control.GetFocusColumn(), column) << "address never takes the focus";
    }
    EXPECT_GT(control.GetScrollX(), 0) << "the column is scrolled into sight";
    for (const auto& [key, column] : std::vector<std::pair<Qt::Key, int>>{
             {Qt::Key_Right, 3}, {Qt::Key_Left, 1}, {Qt::Key_Left, 0}, {Qt::Key_Left, -1}}) {
        fixture.Key(key);
        EXPECT_EQ(control.GetFocusColumn(), column);
    }
    EXPECT_EQ(control.GetScrollX(), 0);
    fixture.Click(0);
    EXPECT_EQ(control.GetFocusColumn(), 1);
}

TEST(ReportInput, ScrollingKeepsTheLastPageFull) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows(30, 15);
    const int page = control.GetWholeVisibleRows();
    EXPECT_TRUE(control.EnsureVisible(20, true));
    EXPECT_EQ(control.GetFirstVisibleRow() + page - 1, 20) << "row 20 is the last one shown";
    control.EnsureVisible(2, true);
    EXPECT_EQ(control.GetFirstVisibleRow(), 2);
    EXPECT_FALSE(control.EnsureVisible(30, true));
    control.ScrollRows(ReportViewport::Command::Bottom);
    EXPECT_EQ(control.GetFirstVisibleRow(), 30 - page);
    control.ScrollRows(ReportViewport::Command::LineDown);
    EXPECT_EQ(control.GetFirstVisibleRow(), 30 - page);
    for (int item = 29; item >= 25; --item) {
        control.DeleteItem(item);
    }
    EXPECT_EQ(control.GetFirstVisibleRow(), 25 - page) << "no space below the last row";
}
