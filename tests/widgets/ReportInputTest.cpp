#include "ReportFixture.h"

#include "widgets/CFlatHeaderCtrl.h"

#include <QTest>
#include <QWheelEvent>

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

void AddRows(ReportFixture& fixture, int count, int preview = 0) {
    for (int i = 0; i < count; ++i) {
        fixture.AddRow("title " + std::to_string(i), "http://example.com/" + std::to_string(i),
                       "Engine", preview);
    }
}

void Click(ReportFixture& fixture, int row, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mouseClick(&fixture.control, Qt::LeftButton, keys, fixture.CellCentre(row, 1));
}

void Key(ReportFixture& fixture, Qt::Key key, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::keyClick(&fixture.control, key, keys);
}

void Wheel(CReportCtrl& control, int delta) {
    const QPoint point(50, 50);
    QWheelEvent event(point, control.mapToGlobal(point), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&control, &event);
}

} // namespace

TEST(ReportInput, ShiftRangesSpanFromTheAnchorAndCtrlClicksToggle) {
    ReportFixture fixture(QSize(420, 400));
    CReportCtrl& control = fixture.control;
    AddRows(fixture, 10);
    fixture.Focus();
    fixture.Unfocus();
    Click(fixture, 3);
    EXPECT_TRUE(control.HasFocus()) << "a click takes the focus";
    Click(fixture, 7, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{3, 4, 5, 6, 7}));
    EXPECT_EQ(control.GetFocusRow(), 3) << "the focus rectangle stays on the anchor";
    Click(fixture, 5, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{3, 4, 5}));

    Click(fixture, 3);
    Key(fixture, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{3, 4}));
    EXPECT_EQ(control.GetFocusRow(), 4);
    Key(fixture, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{3, 4, 5}));

    Click(fixture, 1, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{1, 3, 4, 5}));
    Click(fixture, 4, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{1, 3, 5}));
    Click(fixture, 8, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{1, 3, 4, 5, 6, 7, 8}));
    Click(fixture, 6);
    EXPECT_EQ(SelectedRows(control), std::vector<int>{6});
    EXPECT_EQ(control.GetSelectionList(), std::vector<int>{6});
}

TEST(ReportInput, MouseNotificationsCarryTheHitAndTheOwnersAnswerDecides) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    AddRows(fixture, 4);
    RecordingReportListener& listener = fixture.listener;

    // The owner refuses to let item 2 be selected by the range.
    listener.answer = [](const ReportNotify& notify) {
        return notify.header.code == kReportNotifySelectionChanging && notify.item == 2 ? 1 : 0;
    };
    Click(fixture, 0);
    Click(fixture, 3, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{0, 1, 3}));

    listener.Clear();
    const QPoint image = control.GetCellRect(1, control.GetHeaderIndex(0)).topLeft() +
                         QPoint(kReportCellMargin + 4, 4);
    QTest::mouseClick(&control, Qt::LeftButton, Qt::ControlModifier, image);
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
    listener.answer = [](const ReportNotify& notify) {
        return notify.header.code == kReportNotifyLeftButtonDown ? 1 : 0;
    };
    Click(fixture, 2);
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{0, 3}));

    // The right button selects the row alone unless the owner answers, or a modifier is down.
    listener.answer = nullptr;
    QTest::mouseClick(&control, Qt::RightButton, Qt::ShiftModifier, fixture.CellCentre(2, 2));
    EXPECT_EQ(SelectedRows(control), (std::vector<int>{0, 3}));
    QTest::mouseClick(&control, Qt::RightButton, Qt::NoModifier, fixture.CellCentre(2, 2));
    EXPECT_EQ(SelectedRows(control), std::vector<int>{2});
    listener.answer = [](const ReportNotify& notify) {
        return notify.header.code == kReportNotifyRightButtonDown ? 1 : 0;
    };
    QTest::mouseClick(&control, Qt::RightButton, Qt::NoModifier, fixture.CellCentre(1, 2));
    EXPECT_EQ(SelectedRows(control), std::vector<int>{2});
    const std::vector<ReportNotify> rights = listener.WithCode(kReportNotifyRightButtonDown);
    ASSERT_EQ(rights.size(), 3U);
    EXPECT_EQ(rights[2].keys, kReportKeyRightButton);
    EXPECT_EQ(rights[2].flags, kReportHitCell);
    EXPECT_EQ(rights[2].subItem, 2);

    listener.Clear();
    QTest::mouseDClick(&control, Qt::LeftButton, Qt::NoModifier, fixture.CellCentre(3, 3));
    const std::vector<ReportNotify> doubles = listener.WithCode(kReportNotifyDoubleClick);
    ASSERT_EQ(doubles.size(), 1U);
    EXPECT_EQ(doubles[0].item, 3);
    EXPECT_EQ(doubles[0].param, 3U);
}

TEST(ReportInput, HitTestsNameWhereAPointLies) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    AddRows(fixture, 2);
    ReportHitTest hit;
    const auto test = [&](QPoint point) {
        hit.point = point;
        return control.HitTest(hit);
    };
    EXPECT_EQ(test(QPoint(10, 2)), -2);
    EXPECT_EQ(hit.flags, kReportHitAbove) << "the header lies above the rows";
    EXPECT_EQ(test(QPoint(control.GetClientRect().width() + 3, 40)), -2);
    EXPECT_EQ(hit.flags, kReportHitToRight);
    const QRect last = control.GetRowRect(1);
    EXPECT_EQ(test(QPoint(10, last.bottom() + 5)), -2);
    EXPECT_EQ(hit.flags, kReportHitNowhere);
    EXPECT_EQ(hit.row, -2);
    EXPECT_EQ(test(QPoint(control.GetTotalWidth() + 5, last.top() + 2)), 1);
    EXPECT_EQ(hit.flags, kReportHitNowhere);
    EXPECT_EQ(hit.column, 4) << "the number of header items";
    EXPECT_EQ(test(fixture.CellCentre(1, 2)), 1);
    EXPECT_EQ(hit.flags, kReportHitCell);
    EXPECT_EQ(hit.subItem, 2);
    EXPECT_EQ(hit.row, 1);
    EXPECT_EQ(hit.column, control.GetHeaderIndex(2));
    EXPECT_EQ(hit.cellRect, control.GetCellRect(1, hit.column));
    EXPECT_EQ(hit.cellRect.height(), control.GetRowHeight());
}

TEST(ReportInput, WheelScrollsLinesOrPagesPerNotch) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    AddRows(fixture, 60);
    control.SetWheelScrollLines(3);
    Wheel(control, -120);
    EXPECT_EQ(control.GetFirstVisibleRow(), 3);
    Wheel(control, -120);
    Wheel(control, 120);
    EXPECT_EQ(control.GetFirstVisibleRow(), 3);
    // Fine-grained wheels add up to whole lines.
    for (int i = 0; i < 4; ++i) {
        Wheel(control, -10);
    }
    EXPECT_EQ(control.GetFirstVisibleRow(), 4);
    Wheel(control, 120 * 5);
    EXPECT_EQ(control.GetFirstVisibleRow(), 0) << "never above the top";

    control.SetWheelScrollLines(CReportCtrl::kWheelPageScroll);
    const int page = control.GetWholeVisibleRows();
    Wheel(control, -120);
    EXPECT_EQ(control.GetFirstVisibleRow(), page);
    Wheel(control, -120 * 100);
    EXPECT_EQ(control.GetFirstVisibleRow(), 60 - page) << "the last page stays full";
}

TEST(ReportInput, KeysMoveTheFocusAndTheSelectionAfterAskingTheOwner) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    AddRows(fixture, 40);
    fixture.Focus();
    Key(fixture, Qt::Key_Down);
    EXPECT_EQ(SelectedRows(control), std::vector<int>{0}) << "Down starts at the top";
    Key(fixture, Qt::Key_Up);
    EXPECT_EQ(control.GetFocusRow(), 0);

    const std::vector<ReportNotify> keys = fixture.listener.WithCode(kReportNotifyKeyDown);
    ASSERT_EQ(keys.size(), 2U);
    EXPECT_EQ(keys[1].keys, 0x26U) << "the virtual key of Up";
    EXPECT_EQ(keys[1].item, 0);
    EXPECT_NE(keys[1].flags & 0x0100U, 0U) << "an extended key";

    const int page = control.GetWholeVisibleRows();
    Key(fixture, Qt::Key_PageDown);
    EXPECT_EQ(control.GetFocusRow(), page - 1) << "first to the last whole row";
    Key(fixture, Qt::Key_PageDown);
    EXPECT_EQ(control.GetFirstVisibleRow(), page);
    EXPECT_EQ(control.GetFocusRow(), 2 * page - 1);
    Key(fixture, Qt::Key_PageUp);
    EXPECT_EQ(control.GetFocusRow(), page);

    Key(fixture, Qt::Key_End);
    EXPECT_EQ(SelectedRows(control), std::vector<int>{39});
    EXPECT_EQ(control.GetFirstVisibleRow(), 40 - page);
    Key(fixture, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(control).size(), 40U);
    EXPECT_EQ(control.GetFirstVisibleRow(), 0);
    Key(fixture, Qt::Key_Down, Qt::ControlModifier);
    Key(fixture, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(control.GetFocusRow(), 1);
    EXPECT_EQ(SelectedRows(control).size(), 39U);
    EXPECT_EQ(control.GetItemState(1) & kReportStateSelected, 0U);

    // The owner may take a key for itself.
    fixture.listener.answer = [](const ReportNotify& notify) {
        return notify.header.code == kReportNotifyKeyDown ? 1 : 0;
    };
    Key(fixture, Qt::Key_Down);
    EXPECT_EQ(control.GetFocusRow(), 1);
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
    AddRows(fixture, 3);
    fixture.Focus();
    EXPECT_EQ(control.GetFocusColumn(), -1);
    Key(fixture, Qt::Key_Right);
    Key(fixture, Qt::Key_Right);
    EXPECT_EQ(control.GetFocusColumn(), 1);
    Key(fixture, Qt::Key_Right);
    EXPECT_EQ(control.GetFocusColumn(), 3) << "the address column never takes the focus";
    EXPECT_GT(control.GetScrollX(), 0) << "the column is scrolled into sight";
    Key(fixture, Qt::Key_Right);
    EXPECT_EQ(control.GetFocusColumn(), 3);
    Key(fixture, Qt::Key_Left);
    EXPECT_EQ(control.GetFocusColumn(), 1);
    Key(fixture, Qt::Key_Left);
    Key(fixture, Qt::Key_Left);
    EXPECT_EQ(control.GetFocusColumn(), -1);
    EXPECT_EQ(control.GetScrollX(), 0);
    QTest::mouseClick(&control, Qt::LeftButton, Qt::NoModifier, fixture.CellCentre(0, 1));
    EXPECT_EQ(control.GetFocusColumn(), 1);
}

TEST(ReportInput, ScrollingKeepsTheLastPageFull) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    AddRows(fixture, 30, 15);
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
