#include "ReportFixture.h"

#include "widgets/ReportTipWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

const QColor kAlternate(192, 216, 192);

// The background of a row, sampled where no cell content lies: inside the last column's right
// margin, one pixel below the row's top.
QColor RowBackground(ReportFixture& fixture, int row) {
    const QRect rect = fixture.control.GetRowRect(row);
    const QImage image = fixture.Grab();
    return image.pixelColor(rect.left() + fixture.control.GetTotalWidth() - 3, rect.top() + 1);
}

} // namespace

TEST(ReportPainting, RowPartlyInTheAreaHasItsRectAndTheRowAfterItNone) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows(100);
    const int height = control.GetRowFullHeight(0);
    ASSERT_GT(height, 1);
    // The area ends half-way through a row.
    const int area = control.GetRowArea().height();
    control.resize(control.width(), control.height() - area % height + height / 2);
    ASSERT_EQ(control.GetRowArea().height() % height, height / 2);
    const int partly = control.GetRowArea().height() / height;
    EXPECT_FALSE(control.GetRowRect(partly).isEmpty());
    EXPECT_TRUE(control.GetRowRect(partly + 1).isEmpty());
}

TEST(ReportPainting, RowBackgroundsAlternateByRowAndHighlightOnlyWithTheFocus) {
    ReportFixture fixture(QSize(420, 300), kReportStyleAlternateRows);
    CReportCtrl& control = fixture.control;
    const QColor window = control.GetColors().window;
    // An empty list paints only its background.
    const QImage empty = fixture.Grab();
    const QRect area = control.GetRowArea();
    for (int y = area.top(); y <= area.bottom(); y += 3) {
        for (int x = area.left(); x <= area.right(); x += 3) {
            ASSERT_EQ(empty.pixelColor(x, y), window) << x << "," << y;
        }
    }
    fixture.AddRows({"d", "c", "b", "a", "e"});
    EXPECT_EQ(RowBackground(fixture, 0), window);
    EXPECT_EQ(RowBackground(fixture, 1), kAlternate);
    EXPECT_EQ(RowBackground(fixture, 2), window);
    control.SortItems(1, true);
    EXPECT_EQ(RowBackground(fixture, 1), kAlternate) << "the colour goes with the row";
    EXPECT_EQ(RowBackground(fixture, 3), kAlternate);
    EXPECT_EQ(RowBackground(fixture, 4), window);

    ReportItem own;
    own.mask = kReportMaskBkColor;
    own.item = control.GetItemFromRow(1);
    own.subItem = 1;
    own.bkColor = 2;
    control.SetItem(own);
    EXPECT_EQ(RowBackground(fixture, 1), QColor(192, 192, 208));

    control.SelectItem(control.GetItemFromRow(1), false);
    EXPECT_EQ(RowBackground(fixture, 1), QColor(192, 192, 208)) << "no focus, no highlight";
    fixture.Focus();
    ASSERT_TRUE(control.HasFocus());
    EXPECT_EQ(RowBackground(fixture, 1), control.GetColors().highlight);
    fixture.Unfocus();
    EXPECT_FALSE(control.HasFocus());
    EXPECT_EQ(RowBackground(fixture, 1), QColor(192, 192, 208));
}

TEST(ReportPainting, GridLinesMakeRowsOnePixelTallerAndLieUnderEveryRow) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRow("a", "b", "c");
    fixture.AddRow("a", "b", "c");
    const int height = control.GetRowHeight();
    control.ModifyStyle(0, kReportStyleGridLines);
    EXPECT_EQ(control.GetRowHeight(), height + 1);
    EXPECT_EQ(control.GetRowRect(1).top(), control.GetRowRect(0).top() + height + 1);
    const QImage image = fixture.Grab();
    const QColor grid = QColor(control.GetColors().gridLine.rgb());
    const QRect row = control.GetRowRect(0);
    EXPECT_EQ(image.pixelColor(row.left() + 100, row.bottom()), grid);
    EXPECT_EQ(image.pixelColor(row.left() + 100, row.bottom() - 1), control.GetColors().window);
    // The outer edges of the columns run down to the last row.
    const QRect last = control.GetRowRect(1);
    EXPECT_EQ(image.pixelColor(0, last.top() + 2), grid);
    EXPECT_EQ(image.pixelColor(control.GetTotalWidth() - 1, last.top() + 2), grid);
    EXPECT_EQ(image.pixelColor(0, last.bottom() + 3), control.GetColors().window);
    control.ModifyStyle(kReportStyleGridLines, 0);
    EXPECT_EQ(control.GetRowHeight(), height);
}

TEST(ReportPainting, FocusRectangleIsDottedAroundTheFocusRowWhileFocused) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRow("a", "b", "c", 20);
    fixture.AddRow("a", "b", "c");
    control.SelectRange(0, 0, 0);
    const QRect row = control.GetRowRect(0);
    const QColor text = control.GetColors().windowText;
    const QColor window = control.GetColors().window;
    EXPECT_EQ(fixture.Grab().pixelColor(row.left() + 41, row.top()), window);
    fixture.Focus();
    QImage image = fixture.Grab();
    EXPECT_NE(image.pixelColor(row.left() + 40, row.top()),
              image.pixelColor(row.left() + 41, row.top()));
    EXPECT_TRUE(image.pixelColor(row.left() + 40, row.top()) == text ||
                image.pixelColor(row.left() + 41, row.top()) == text);
    // Around the whole row, preview included.
    const int bottom = row.bottom();
    EXPECT_TRUE(image.pixelColor(row.left() + 40, bottom) == text ||
                image.pixelColor(row.left() + 41, bottom) == text);
    control.ModifyStyle(0, kReportStyleGridLines);
    image = fixture.Grab();
    const QRect gridRow = control.GetRowRect(0);
    EXPECT_TRUE(image.pixelColor(1, gridRow.top() + 10) == text ||
                image.pixelColor(1, gridRow.top() + 11) == text)
        << "inset one pixel on the left with grid lines";
}

TEST(ReportPainting, CutOffTextsEndInAnEllipsisAndShowWholeInATip) {
    ReportFixture fixture(QSize(420, 300), kReportStyleCellTips);
    CReportCtrl& control = fixture.control;
    const std::string longTitle = "a title far too long to fit into a column of 120 pixels";
    fixture.AddRow(longTitle, "short", "");
    fixture.AddRow("fits", "short", "");
    const QRect cell = control.GetCellRect(0, control.GetHeaderIndex(1));
    const QImage image = fixture.Grab();
    const QColor window = control.GetColors().window;
    const auto inkBetween = [&](int from, int to) {
        int ink = 0;
        for (int x = from; x < to; ++x) {
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                ink += image.pixelColor(x, y) == window ? 0 : 1;
            }
        }
        return ink;
    };
    EXPECT_EQ(inkBetween(cell.right() + 1 - kReportCellMargin, cell.right() + 1), 0)
        << "the text stops at the margin";
    EXPECT_GT(inkBetween(cell.right() + 1 - kReportCellMargin - 8, cell.right() + 1 - 6), 0)
        << "the ellipsis fills the end";

    // Tips need a window of the program to hold the focus.
    // (The move goes straight to the control: the test's mouse would activate the window.)
    QApplication::setActiveWindow(nullptr);
    QMouseEvent hover(QEvent::MouseMove, cell.center(), control.mapToGlobal(cell.center()),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&control, &hover);
    EXPECT_EQ(control.GetTipWindow(), nullptr);
    fixture.Focus();
    QTest::mouseMove(&control, cell.center() + QPoint(1, 0));
    const auto* tip = dynamic_cast<const ReportTipWindow*>(control.GetTipWindow());
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Text(), QString::fromStdString(longTitle));
    EXPECT_EQ(tip->CoveredRect().topLeft(), cell.topLeft());
    EXPECT_EQ(tip->CoveredRect().width(),
              control.fontMetrics().horizontalAdvance(QString::fromStdString(longTitle)) +
                  2 * kReportCellMargin);
    EXPECT_EQ(tip->pos(), control.mapToGlobal(cell.topLeft()));

    // Inside the cell the tip stays; a cell whose text fits shows none.
    QTest::mouseMove(&control, cell.topLeft() + QPoint(2, 2));
    EXPECT_NE(control.GetTipWindow(), nullptr);
    QTest::mouseMove(&control, fixture.CellCentre(1, 1));
    EXPECT_EQ(control.GetTipWindow(), nullptr);
    QTest::mouseMove(&control, fixture.CellCentre(0, 2));
    EXPECT_EQ(control.GetTipWindow(), nullptr);

    // Scrolling or setting an item hides it.
    QTest::mouseMove(&control, cell.center());
    ASSERT_NE(control.GetTipWindow(), nullptr);
    control.SetItemText(1, 3, "x");
    EXPECT_EQ(control.GetTipWindow(), nullptr);
    control.ModifyStyle(kReportStyleCellTips, 0);
    QTest::mouseMove(&control, cell.center() + QPoint(1, 0));
    EXPECT_EQ(control.GetTipWindow(), nullptr);
}

TEST(ReportPainting, OwnerPaintsPreviewsBelowTheirRowsAndClicksThereHitThePreview) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRow("first");
    fixture.AddRow("second", "", "", 30);
    control.update();
    fixture.Grab();
    ASSERT_EQ(fixture.listener.previewDraws.size(), 1U);
    const ReportPreviewDraw& draw = fixture.listener.previewDraws.front();
    EXPECT_EQ(draw.header.code, kReportNotifyPreviewDraw);
    EXPECT_EQ(draw.item, 1);
    EXPECT_EQ(draw.param, 1U);
    const QRect row = control.GetRowRect(1);
    EXPECT_EQ(draw.rect,
              QRect(row.left(), row.top() + control.GetRowHeight(), control.GetTotalWidth(), 30));

    ReportHitTest hit;
    hit.point = QPoint(100, draw.rect.top() + 5);
    EXPECT_EQ(control.HitTest(hit), 1);
    EXPECT_EQ(hit.flags, kReportHitPreview);
    EXPECT_EQ(hit.row, 1);
    QTest::mouseClick(&control, Qt::LeftButton, Qt::NoModifier, hit.point);
    EXPECT_EQ(control.GetFirstSelectedItem(), 1);
    const std::vector<ReportNotify> downs = fixture.listener.WithCode(kReportNotifyLeftButtonDown);
    ASSERT_EQ(downs.size(), 1U);
    EXPECT_EQ(downs[0].flags, kReportHitPreview);
}
