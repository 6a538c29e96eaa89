#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/FlatHeaderListener.h"
#include "widgets/ReportImageList.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Answers and records what the header reports.
class HeaderRecorder : public FlatHeaderListener {
  public:
    void OnHeaderItemClick(CFlatHeaderCtrl& /*header*/, int item) override {
        clicks.push_back(item);
    }
    bool OnHeaderBeginDrag(CFlatHeaderCtrl& /*header*/, int item) override {
        drags.push_back(item);
        return refuseDrag;
    }
    int OnHeaderEndDrag(CFlatHeaderCtrl& header, int item) override {
        drops.push_back({item, header.GetDropResult()});
        return endDragAnswer;
    }
    void OnHeaderItemChanged(CFlatHeaderCtrl& /*header*/, int item) override {
        changes.push_back(item);
    }
    void OnHeaderDividerDoubleClick(CFlatHeaderCtrl& /*header*/, int item) override {
        doubleClicks.push_back(item);
    }

    std::vector<int> clicks;
    std::vector<int> drags;
    std::vector<std::pair<int, int>> drops;
    std::vector<int> changes;
    std::vector<int> doubleClicks;
    bool refuseDrag = false;
    int endDragAnswer = 0;
};

// A header of three 100-pixel columns "A", "B", "C" at the top of a larger window, so that
// the mouse can leave the header and stay in the window.
class FlatHeaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.resize(400, 200);
        header = new CFlatHeaderCtrl(&window);
        header->SetListener(&recorder);
        for (const char* title : {"A", "B", "C"}) {
            FlatHeaderItem item;
            item.width = 100;
            item.text = title;
            header->InsertItem(header->GetItemCount(), item);
        }
        header->setGeometry(0, 0, 400, header->sizeHint().height());
        window.show();
        QApplication::processEvents();
    }

    int Middle() const {
        return header->height() / 2;
    }

    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(header, from + QPoint(QApplication::startDragDistance() + 1, 0));
        QTest::mouseMove(header, to);
    }

    QWidget window;
    CFlatHeaderCtrl* header = nullptr;
    HeaderRecorder recorder;
};

const QWidget* Marker(const CFlatHeaderCtrl& header) {
    return header.findChild<QWidget*>("MFCFHDropWnd");
}

} // namespace

TEST_F(FlatHeaderTest, ExtraDataFitsTheWidthAndKeepsItWithinTheLimits) {
    ReportImageList images;
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    images.Add(picture);
    header->SetImageList(&images);
    FlatHeaderItem imageOnly;
    imageOnly.width = 80;
    imageOnly.format = kHeaderFormatImage;
    const int index = header->InsertItem(3, imageOnly);

    FlatHeaderItemEx fit;
    fit.style = kHeaderStyleFitContent;
    EXPECT_TRUE(header->SetItemEx(index, fit));
    EXPECT_EQ(header->GetItemRect(index).width(), 28) << "6 + 16 + 6";
    EXPECT_EQ(recorder.changes, std::vector<int>{index});

    FlatHeaderItemEx limits;
    limits.minWidth = 120;
    limits.maxWidth = 150;
    header->SetItemEx(0, limits);
    EXPECT_EQ(header->GetItemRect(0).width(), 120);
    limits.style = kHeaderStyleFixedWidth;
    limits.minWidth = 10;
    limits.maxWidth = 20;
    header->SetItemEx(1, limits);
    EXPECT_EQ(header->GetItemRect(1).width(), 100) << "a fixed column keeps its width";
    FlatHeaderItemEx stored;
    EXPECT_TRUE(header->GetItemEx(1, stored));
    EXPECT_EQ(stored.style, kHeaderStyleFixedWidth);
    EXPECT_FALSE(header->SetItemEx(4, fit));

    EXPECT_EQ(header->SetProperty(0, 1), 0);
    EXPECT_EQ(header->SetProperty(7, 1), 0);
    for (int number = 1; number <= 6; ++number) {
        EXPECT_EQ(header->SetProperty(number, header->GetProperty(number)), 1);
    }
    header->SetImageList(nullptr);
}

TEST_F(FlatHeaderTest, DividerTrackingStaysWithinTheLimitsAndFixedColumnsDoNotMove) {
    FlatHeaderItemEx limits;
    limits.minWidth = 50;
    limits.maxWidth = 140;
    header->SetItemEx(0, limits);
    QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, QPoint(100, Middle()));
    QTest::mouseMove(header, QPoint(300, Middle()));
    EXPECT_EQ(header->GetItemRect(0).width(), 140);
    QTest::mouseMove(header, QPoint(10, Middle()));
    EXPECT_EQ(header->GetItemRect(0).width(), 50);
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, QPoint(10, Middle()));
    EXPECT_TRUE(recorder.clicks.empty()) << "moving a divider is not a click";

    FlatHeaderItemEx fixed;
    fixed.style = kHeaderStyleFixedWidth;
    header->SetItemEx(1, fixed);
    const int divider = header->GetItemRect(1).right() + 1;
    QTest::mouseMove(header, QPoint(divider, Middle()));
    EXPECT_EQ(header->cursor().shape(), Qt::ArrowCursor);
    QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, QPoint(divider, Middle()));
    QTest::mouseMove(header, QPoint(divider + 60, Middle()));
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, QPoint(divider + 60, Middle()));
    EXPECT_EQ(header->GetItemRect(1).width(), 100);
    QTest::mouseDClick(header, Qt::LeftButton, Qt::NoModifier, QPoint(divider, Middle()));
    EXPECT_TRUE(recorder.doubleClicks.empty());

    const int free = header->GetItemRect(2).right() + 1;
    QTest::mouseMove(header, QPoint(free, Middle()));
    EXPECT_EQ(header->cursor().shape(), Qt::SplitHCursor);
    QTest::mouseDClick(header, Qt::LeftButton, Qt::NoModifier, QPoint(free, Middle()));
    EXPECT_EQ(recorder.doubleClicks, std::vector<int>{2});
}

TEST_F(FlatHeaderTest, DraggedColumnLandsWhereTheMarkerShows) {
    // Onto its own position or the one after it: no marker, nothing moves.
    Drag(QPoint(20, Middle()), QPoint(120, Middle()));
    EXPECT_EQ(header->GetDropPosition(), -1);
    EXPECT_TRUE(Marker(*header) == nullptr || !Marker(*header)->isVisible());
    QTest::mouseMove(header, QPoint(60, Middle()));
    EXPECT_EQ(header->GetDropPosition(), -1);
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, QPoint(60, Middle()));
    EXPECT_EQ(header->GetOrderArray(), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(recorder.clicks.empty());

    // Into the right half of the last column: after it, the marker over the right edge.
    Drag(QPoint(20, Middle()), QPoint(280, Middle()));
    EXPECT_TRUE(header->IsDragging());
    ASSERT_NE(Marker(*header), nullptr);
    const QWidget* marker = Marker(*header);
    EXPECT_TRUE(marker->isVisible());
    EXPECT_EQ(marker->width(), 12);
    EXPECT_EQ(marker->height(), header->height() + 20);
    EXPECT_EQ(marker->geometry().left() + 6, header->mapToGlobal(QPoint(300, 0)).x());
    EXPECT_EQ(header->cursor().shape(), Qt::ArrowCursor);
    const QWidget* picture = header->findChild<QWidget*>("MFCFHDragWnd");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->size(), QSize(100, header->height()));
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, QPoint(280, Middle()));
    EXPECT_EQ(header->GetOrderArray(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(recorder.drops, (std::vector<std::pair<int, int>>{{0, 0}, {0, 0}}));
    EXPECT_EQ(header->findChild<QWidget*>("MFCFHDragWnd"), nullptr);
    EXPECT_EQ(Marker(*header), nullptr);

    // A listener that answers nonzero keeps the order.
    recorder.endDragAnswer = 1;
    Drag(QPoint(250, Middle()), QPoint(10, Middle()));
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, QPoint(10, Middle()));
    EXPECT_EQ(header->GetOrderArray(), (std::vector<int>{1, 2, 0}));
}

TEST_F(FlatHeaderTest, ColumnsDroppedOutsideReportWhetherTheyMayLeave) {
    header->SetProperty(kHeaderPropertyDragCursor, 134);
    Drag(QPoint(150, Middle()), QPoint(150, 150));
    EXPECT_EQ(header->cursor().shape(), Qt::BitmapCursor) << "the program's pointer 134";
    EXPECT_EQ(header->GetDropPosition(), -1);
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    ASSERT_EQ(recorder.drops.size(), 1U);
    EXPECT_EQ(recorder.drops.back(), std::make_pair(1, kHeaderDropOutside));

    FlatHeaderItemEx stay;
    stay.style = kHeaderStyleStayInHeader;
    header->SetItemEx(1, stay);
    Drag(QPoint(150, Middle()), QPoint(150, 150));
    EXPECT_EQ(header->cursor().shape(), Qt::ForbiddenCursor);
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    EXPECT_EQ(recorder.drops.back(), std::make_pair(1, kHeaderDropNotAllowed));
    EXPECT_EQ(header->GetDropResult(), kHeaderDropNotAllowed);
    EXPECT_EQ(header->GetOrderArray(), (std::vector<int>{0, 1, 2}));

    // A refused drag shows nothing and is no click either.
    recorder.refuseDrag = true;
    Drag(QPoint(50, Middle()), QPoint(250, Middle()));
    EXPECT_FALSE(header->IsDragging());
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, QPoint(250, Middle()));
    EXPECT_EQ(recorder.drags.back(), 0);
    EXPECT_TRUE(recorder.clicks.empty());
    EXPECT_EQ(header->GetOrderArray(), (std::vector<int>{0, 1, 2}));
}

TEST_F(FlatHeaderTest, ClickIsReportedAndTheSortMarkPointsTheWayOfTheSort) {
    QTest::mouseClick(header, Qt::LeftButton, Qt::NoModifier, QPoint(150, Middle()));
    EXPECT_EQ(recorder.clicks, std::vector<int>{1});

    // The mark is 8 by 8 right after the title, vertically centred: ascending has its apex
    // alone on the top line, descending a whole top edge.
    const auto topLineDarkPixels = [this](bool ascending) {
        header->SetSortColumn(0, ascending);
        const QImage image = header->grab().toImage();
        const QColor shadow = header->palette().color(QPalette::Dark);
        const int top = (header->height() - 8) / 2;
        const int left = 6 + header->fontMetrics().horizontalAdvance("A") + 6;
        int dark = 0;
        for (int x = left; x < left + 8; ++x) {
            if (image.pixel(x, top) == shadow.rgb()) {
                ++dark;
            }
        }
        return dark;
    };
    EXPECT_EQ(topLineDarkPixels(true), 1);
    EXPECT_EQ(topLineDarkPixels(false), 8);
    bool ascending = true;
    EXPECT_EQ(header->GetSortColumn(&ascending), 0);
    EXPECT_FALSE(ascending);
}

TEST_F(FlatHeaderTest, TipsShowOnlyForColumnsWithATipWhileSwitchedOn) {
    FlatHeaderItemEx tipped;
    tipped.tip = "Sort by: A";
    header->SetItemEx(0, tipped);
    // The header takes a tip request only when it has a tip to show.
    const auto askTip = [this](int x) {
        const QPoint point(x, Middle());
        QHelpEvent event(QEvent::ToolTip, point, header->mapToGlobal(point));
        QApplication::sendEvent(header, &event);
        return event.isAccepted();
    };
    EXPECT_FALSE(askTip(50)) << "tips start switched off";
    header->SetProperty(kHeaderPropertyTips, 1);
    EXPECT_TRUE(askTip(50));
    EXPECT_EQ(QToolTip::text(), QString("Sort by: A"));
    EXPECT_FALSE(askTip(150)) << "a column without a tip shows none";
    QToolTip::hideText();
}
