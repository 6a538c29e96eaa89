// Fills a report control with a few thousand results with summaries and saves a picture of it,
// on the offscreen platform: a way to look at the painting without a display.
//
// Usage: vantorell-report-demo OUT.png [--rows N] [--size WxH] [--sort COLUMN] [--descending]
//        [--grid] [--alternate] [--select ROW...] [--focus] [--scroll ROW] [--tip ROW]
//        [--crop X,Y,W,H] [--zoom N] [--drag COLUMN,X,Y]

#include "ReportFixture.h"

#include "widgets/CFlatHeaderCtrl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kWords[] = {"search",  "engine", "linux",   "desktop", "results",  "meta",
                              "client",  "fast",   "archive", "music",   "software", "free",
                              "reviews", "news",   "guide",   "forum",   "download", "howto"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);
const char* const kEngines[] = {"DuckDuckGo", "Bing", "Ask", "Google", "Sample"};

std::string Words(int seed, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += kWords[(seed * 7 + i * 13 + i * i) % kWordCount];
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [options]\n", argv[0]);
        return 2;
    }
    const QString out = argv[1];
    int rows = 3000;
    QSize size(760, 420);
    int sortColumn = -1;
    bool ascending = true;
    uint32_t style = kReportStyleCellTips | kReportStyleHideDroppedColumn;
    std::vector<int> selected;
    bool focus = false;
    int scrollRow = 0;
    int tipRow = -1;
    QRect crop;
    int zoom = 1;
    QStringList drag;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--rows" && hasValue) {
            rows = std::stoi(argv[++i]);
        } else if (option == "--size" && hasValue) {
            const QStringList parts = QString(argv[++i]).split('x');
            size = QSize(parts.value(0).toInt(), parts.value(1).toInt());
        } else if (option == "--sort" && hasValue) {
            sortColumn = std::stoi(argv[++i]);
        } else if (option == "--descending") {
            ascending = false;
        } else if (option == "--grid") {
            style |= kReportStyleGridLines;
        } else if (option == "--alternate") {
            style |= kReportStyleAlternateRows;
        } else if (option == "--select" && hasValue) {
            selected.push_back(std::stoi(argv[++i]));
        } else if (option == "--focus") {
            focus = true;
        } else if (option == "--scroll" && hasValue) {
            scrollRow = std::stoi(argv[++i]);
        } else if (option == "--tip" && hasValue) {
            tipRow = std::stoi(argv[++i]);
        } else if (option == "--crop" && hasValue) {
            const QStringList parts = QString(argv[++i]).split(',');
            crop = QRect(parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt(),
                         parts.value(3).toInt());
        } else if (option == "--drag" && hasValue) {
            drag = QString(argv[++i]).split(',');
        } else if (option == "--zoom" && hasValue) {
            zoom = std::max(1, std::stoi(argv[++i]));
        } else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
    }

    ReportFixture fixture(size, style);
    CReportCtrl& control = fixture.control;
    control.GetHeaderCtrl().SetProperty(4, 134);
    control.GetHeaderCtrl().SetProperty(6, 1);
    const int w = size.width() / 10 - 6;
    control.SetSubItemWidth(1, 4 * w);
    control.SetSubItemWidth(2, 4 * w);
    control.SetSubItemWidth(3, 2 * w);
    for (int i = 0; i < rows; ++i) {
        const std::string summary = "Result " + std::to_string(i) + ": " + Words(i, 14 + i % 9) +
                                    ". " + Words(i + 3, 10 + i % 7) + ".";
        const QFont font = control.font();
        QRect area(0, 0, control.GetTotalWidth() - 40, 1);
        const int height = control.GetTextHeight(font, summary, &area) + 4;
        const int item = fixture.AddRow(Words(i, 3 + i % 6) + " - " + std::to_string(i),
                                        "http://www." + Words(i, 1) + std::to_string(i) +
                                            ".example.com/" + Words(i + 1, 2 + i % 4),
                                        kEngines[i % 5], height, summary);
        if (i % 11 == 4) {
            ReportItem bold;
            bold.mask = kReportMaskState;
            bold.item = item;
            bold.state = kReportStateBold;
            control.SetItem(bold);
        }
    }
    if (sortColumn >= 0) {
        control.SortItems(sortColumn, ascending);
    }
    if (focus) {
        fixture.Focus();
    }
    for (const int row : selected) {
        control.SelectRange(row, row, kReportSelectApply | kReportSelectKeepOthers);
    }
    control.EnsureVisible(control.GetItemFromRow(scrollRow), true);
    if (tipRow >= 0) {
        fixture.Focus();
        QTest::mouseMove(&control, fixture.CellCentre(tipRow, 1));
        QApplication::processEvents();
    }
    CFlatHeaderCtrl& header = control.GetHeaderCtrl();
    if (drag.size() == 3) {
        // Holds a column half-way through a drag: the picture and the marker show.
        const QRect column = header.GetItemRect(control.GetHeaderIndex(drag[0].toInt()));
        QTest::mousePress(&header, Qt::LeftButton, Qt::NoModifier, column.center());
        QTest::mouseMove(&header, column.center() + QPoint(10, 0));
        QTest::mouseMove(&header, QPoint(drag[1].toInt(), drag[2].toInt()));
    }
    QApplication::processEvents();
    QImage picture = fixture.window.grab().toImage();
    // Tips, drag pictures and markers are windows of their own; each is painted over the
    // picture where it stands, cut to its shape.
    QPainter painter(&picture);
    std::vector<QWidget*> popups = {const_cast<QWidget*>(control.GetTipWindow()),
                                    header.findChild<QWidget*>("MFCFHDragWnd"),
                                    header.findChild<QWidget*>("MFCFHDropWnd")};
    for (QWidget* popup : popups) {
        if (popup == nullptr || !popup->isVisible()) {
            continue;
        }
        const QPoint at = fixture.window.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0)));
        painter.save();
        if (!popup->mask().isEmpty()) {
            painter.setClipRegion(popup->mask().translated(at));
        }
        painter.drawPixmap(at, popup->grab());
        painter.restore();
    }
    painter.end();
    if (!crop.isEmpty()) {
        picture = picture.copy(crop);
    }
    if (zoom > 1) {
        picture =
            picture.scaled(picture.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    if (!picture.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%d rows, %d shown from row %d, saved %s\n", control.GetItemCount(),
                control.GetWholeVisibleRows(), control.GetFirstVisibleRow(), qPrintable(out));
    return 0;
}
