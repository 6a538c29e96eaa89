// Measures the report control against Qt's own pair, QTableView over a QStandardItemModel,
// doing the same work in the same run on the offscreen platform: insert 5000 results of four
// cells with previews (rows made taller by their summaries), sort them by the title both ways,
// and paint one screen. Prints the best time of several rounds of each and the ratio
// (report control / Qt pair; below 1 is faster). The two take turns round by round.

#include "widgets/CReportCtrl.h"
#include "widgets/ReportCtrlListener.h"
#include "widgets/ReportImageList.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kResults = 5000;
constexpr int kRounds = 7;
constexpr int kSummaryIndent = 40;
const QSize kScreen(1000, 700);
const QColor kTextColour(0, 64, 128);

struct Result {
    std::string title;
    std::string address;
    std::string engine;
    std::string summary;
    int preview = 0;
};

struct Times {
    double insert = 1e9;
    double sort = 1e9;
    double paint = 1e9;
};

double Seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

template <typename Work> double Time(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return Seconds(std::chrono::steady_clock::now() - start);
}

std::vector<Result> MakeResults(const QFont& font, int width) {
    const char* words[] = {"search", "engine",  "linux", "desktop",  "results", "meta",    "client",
                           "fast",   "archive", "music", "software", "free",    "Reviews", "news"};
    const char* engines[] = {"DuckDuckGo", "Bing", "Ask", "Google"};
    std::vector<Result> results;
    const QFontMetrics metrics(font);
    for (int i = 0; i < kResults; ++i) {
        Result result;
        const int seed = (i * 7919) % kResults;
        for (int w = 0; w < 4 + seed % 5; ++w) {
            result.title += std::string(words[(seed + w * 5) % 14]) + " ";
        }
        result.title += std::to_string(seed);
        result.address =
            "http://www." + std::string(words[seed % 14]) + std::to_string(i) + ".example.com/page";
        result.engine = engines[i % 4];
        for (int w = 0; w < 20 + seed % 15; ++w) {
            result.summary += std::string(words[(seed * 3 + w) % 14]) + " ";
        }
        const QRect bounds =
            metrics.boundingRect(QRect(0, 0, width - kSummaryIndent, 10000), Qt::TextWordWrap,
                                 QString::fromStdString(result.summary));
        result.preview = bounds.height() + 4;
        results.push_back(std::move(result));
    }
    return results;
}

// The results view's part: summaries painted under the rows.
class SummaryPainter : public ReportCtrlListener {
  public:
    explicit SummaryPainter(const std::vector<Result>& results) : m_results(results) {
    }
    void OnReportPreviewDraw(const ReportPreviewDraw& draw) override {
        draw.painter->setPen(Qt::black);
        draw.painter->drawText(draw.rect.adjusted(kSummaryIndent, 2, 0, -2), Qt::TextWordWrap,
                               QString::fromStdString(m_results[draw.param].summary));
    }

  private:
    const std::vector<Result>& m_results;
};

// The Qt pair's part: the title on top of its cell and the summary under it.
class SummaryDelegate : public QStyledItemDelegate {
  public:
    SummaryDelegate(int rowHeight, QObject* parent)
        : QStyledItemDelegate(parent), m_rowHeight(rowHeight) {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem top = option;
        top.rect.setHeight(m_rowHeight);
        QStyledItemDelegate::paint(painter, top, index);
        const QRect below = option.rect.adjusted(0, m_rowHeight + 2, 0, -2);
        painter->setPen(Qt::black);
        painter->drawText(below, Qt::TextWordWrap, index.data(Qt::UserRole).toString());
    }

  private:
    int m_rowHeight;
};

ReportImageList StateImages() {
    ReportImageList images;
    for (int i = 0; i < 5; ++i) {
        QPixmap picture(16, 16);
        picture.fill(QColor::fromHsv(i * 60, 200, 200));
        images.Add(picture);
    }
    return images;
}

// One round of each kind of work; the best times so far are kept in times.
void MeasureReportCtrl(const std::vector<Result>& results, const ReportImageList& images,
                       Times& times) {
    SummaryPainter painter(results);
    CReportCtrl control;
    control.SetListener(&painter);
    control.Create(kReportStyleCellTips | kReportStyleHideDroppedColumn, QRect(QPoint(), kScreen),
                   nullptr, 0);
    control.SetImageList(&images);
    control.InsertColor(3, kTextColour);
    const char* titles[] = {"State", "Title", "Address", "Search Engines"};
    for (int column = 0; column < 4; ++column) {
        ReportSubItem definition;
        definition.text = titles[column];
        definition.format =
            column == 0 ? kReportFormatImage : kReportFormatText | kReportFormatSortable;
        definition.width = column == 0 ? 28 : 300;
        control.DefineSubItem(column, definition);
        control.ActivateSubItem(column, column);
    }
    const double insert = Time([&] {
        for (int i = 0; i < kResults; ++i) {
            const Result& result = results[static_cast<std::size_t>(i)];
            ReportItem item;
            item.mask = kReportMaskImage | kReportMaskParam | kReportMaskPreview;
            item.item = i;
            item.image = 0;
            item.param = static_cast<uint32_t>(i);
            item.preview = result.preview;
            control.InsertItem(item);
            const std::string* texts[] = {&result.title, &result.address, &result.engine};
            for (int column = 1; column <= 3; ++column) {
                ReportItem cell;
                cell.mask = kReportMaskText | kReportMaskTextColor;
                cell.item = i;
                cell.subItem = column;
                cell.text = *texts[column - 1];
                cell.textColor = 3;
                control.SetItem(cell);
            }
        }
    });
    const double sort = Time([&] {
        control.SortItems(1, true);
        control.SortItems(1, false);
    });
    const double paint = Time([&] { control.grab(); });
    times.insert = std::min(times.insert, insert);
    times.sort = std::min(times.sort, sort);
    times.paint = std::min(times.paint, paint);
    control.SetListener(nullptr);
}

void MeasureQtPair(const std::vector<Result>& results, int rowHeight, Times& times) {
    QIcon icon;
    {
        QPixmap picture(16, 16);
        picture.fill(QColor::fromHsv(0, 200, 200));
        icon = QIcon(picture);
    }
    QStandardItemModel model(0, 4);
    model.setHorizontalHeaderLabels({"State", "Title", "Address", "Search Engines"});
    QTableView view;
    view.setModel(&model);
    view.setItemDelegateForColumn(1, new SummaryDelegate(rowHeight, &view));
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.verticalHeader()->hide();
    view.setColumnWidth(0, 28);
    for (int column = 1; column < 4; ++column) {
        view.setColumnWidth(column, 300);
    }
    view.resize(kScreen);
    view.show();
    const double insert = Time([&] {
        for (int i = 0; i < kResults; ++i) {
            const Result& result = results[static_cast<std::size_t>(i)];
            QList<QStandardItem*> row;
            auto* state = new QStandardItem;
            state->setIcon(icon);
            state->setData(i, Qt::UserRole + 1);
            row.append(state);
            for (const std::string* text : {&result.title, &result.address, &result.engine}) {
                auto* cell = new QStandardItem(QString::fromStdString(*text));
                cell->setForeground(kTextColour);
                row.append(cell);
            }
            row[1]->setData(QString::fromStdString(result.summary), Qt::UserRole);
            model.appendRow(row);
            view.setRowHeight(i, rowHeight + result.preview);
        }
    });
    const double sort = Time([&] {
        view.sortByColumn(1, Qt::AscendingOrder);
        view.sortByColumn(1, Qt::DescendingOrder);
    });
    const double paint = Time([&] { view.grab(); });
    times.insert = std::min(times.insert, insert);
    times.sort = std::min(times.sort, sort);
    times.paint = std::min(times.paint, paint);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const ReportImageList images = StateImages();
    const std::vector<Result> results = MakeResults(QApplication::font(), kScreen.width());
    int rowHeight = 0;
    {
        CReportCtrl probe;
        probe.SetImageList(&images);
        rowHeight = probe.GetRowHeight();
    }
    // The best of several rounds of each, so that neither pays for cold fonts and caches, the
    // two taking turns so that a busy moment of a shared machine meets both.
    Times report;
    Times qt;
    for (int round = 0; round < kRounds; ++round) {
        MeasureReportCtrl(results, images, report);
        MeasureQtPair(results, rowHeight, qt);
    }
    const auto line = [](const char* phase, double ours, double theirs, const char* goal) {
        std::printf("%-28s %9.2f ms %9.2f ms   ratio %.2f%s\n", phase, ours * 1000, theirs * 1000,
                    ours / theirs, goal);
    };
    std::printf("%-28s %12s %12s\n", "", "CReportCtrl", "QTableView");
    line("insert 5000 with previews", report.insert, qt.insert, " (goal: at most 0.6)");
    line("sort by title both ways", report.sort, qt.sort, "");
    line("paint one screen", report.paint, qt.paint, "");
    const double ours = report.insert + report.sort + report.paint;
    const double theirs = qt.insert + qt.sort + qt.paint;
    line("all three", ours, theirs, " (goal: at most 0.5)");
    return 0;
}
