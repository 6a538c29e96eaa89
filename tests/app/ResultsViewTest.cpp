#include "app/GuiFixture.h"

#include "app/AppCommands.h"
#include "app/CMarovaneProView.h"
#include "app/ProgressStatusBar.h"
#include "app/QtMessageSink.h"
#include "search/SearchSession.h"
#include "widgets/CFlatHeaderCtrl.h"

#include "support/EventLoopWait.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

const std::vector<Texts> kThreeRows = {
    {"Beta |> two", "http://b.example/", "Second summary", "Ask"},
    {"alpha", "http://c.example/", "", "Bing"},
    {"Gamma", "http://a.example/", "Third summary\twith a tab", "AOL"},
};

// A window showing kThreeRows.
class ViewFixture : public GuiFixture {
  public:
    ViewFixture(const std::vector<Texts>& rows = kThreeRows) {
        OpenRows(rows);
    }
    // Rights-clicks the point and returns the context menu that shows.
    QMenu* ContextMenuAt(const QPoint& point) {
        QMenu* before = View().ContextMenu();
        QTest::mouseClick(&Control(), Qt::RightButton, Qt::NoModifier, point);
        runEventsUntil([this, before] { return View().ContextMenu() != before; }, 2000);
        QMenu* menu = View().ContextMenu();
        runEventsFor(50);
        return menu;
    }
};

// The entries of a context menu that can be chosen, by text.
Texts EnabledEntries(const QMenu& menu) {
    Texts entries;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator() && action->isEnabled()) {
            entries.push_back(action->text().toStdString());
        }
    }
    return entries;
}

} // namespace

TEST(ResultsView, RowsColumnsAndCleanedTitles) {
    ViewFixture f;
    CMarovaneProView& view = f.View();
    EXPECT_EQ(f.Column(1), (Texts{"Beta  two", "alpha", "Gamma"}));
    EXPECT_EQ(f.Column(3), (Texts{"Ask", "Bing", "AOL"}));
    // The listed result took the cleaned title too.
    EXPECT_EQ(f.Frame().Session().Results().Get(0)->title.str(), "Beta  two");
    EXPECT_EQ(CMarovaneProView::CleanTitle("a||b<|c | d|>e"), "abcde");

    ReportItem item;
    item.mask = kReportMaskText;
    item.item = 0;
    item.subItem = 1;
    ASSERT_TRUE(f.Control().GetItem(item));
    EXPECT_EQ(item.textColor, CMarovaneProView::kColourNew);
    EXPECT_EQ(f.Control().GetColor(CMarovaneProView::kColourNew), QColor(0, 64, 128));
    EXPECT_EQ(f.Control().GetColor(CMarovaneProView::kColourAlternateRow), QColor(192, 216, 192));
    EXPECT_EQ(f.Control().GetItemParam(2), 2u);
    const int measured = f.Control().GetTextHeight(f.Control().font(), "Second summary");
    EXPECT_EQ(f.Control().GetRowFullHeight(0), f.Control().GetRowHeight() + measured + 4);

    // Widths follow the view's width: w = W / 10 - 6.
    view.resize(100, view.height());
    for (const auto& [subItem, width] :
         std::vector<std::pair<int, int>>{{1, 16}, {2, 16}, {3, 8}}) {
        ReportSubItem column;
        f.Control().GetSubItem(subItem, column);
        EXPECT_EQ(column.width, width) << subItem;
    }
}

TEST(ResultsView, SortsToggleTheirDirection) {
    ViewFixture f;
    CMainFrame& frame = f.Frame();
    frame.DoCommand(kCmdSortTitle);
    EXPECT_EQ(f.View().SortState(), CMarovaneProView::kSortTitleAscending);
    const Texts ascending = f.Column(1);
    frame.DoCommand(kCmdSortTitle);
    EXPECT_EQ(f.View().SortState(), CMarovaneProView::kSortTitleDescending);
    EXPECT_EQ(f.Column(1), Texts(ascending.rbegin(), ascending.rend()));
    frame.DoCommand(kCmdSortAddress);
    EXPECT_EQ(f.Column(2), (Texts{"http://a.example/", "http://b.example/", "http://c.example/"}));
    frame.DoCommand(kCmdSortTitle);
    EXPECT_EQ(f.View().SortState(), CMarovaneProView::kSortTitleAscending);
    EXPECT_EQ(f.Column(1), ascending);
    frame.DoCommand(kCmdSortEngine);
    frame.DoCommand(kCmdSortEngine);
    EXPECT_EQ(f.View().SortState(), CMarovaneProView::kSortEngineDescending);
}

TEST(ResultsView, CopyCopyAddressAndSelectionCounts) {
    ViewFixture f;
    CMainFrame& frame = f.Frame();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    frame.DoCommand(kCmdCopy);
    EXPECT_EQ(clipboard->text(), "before");

    f.ClickRow(1);
    frame.DoCommand(kCmdCopy);
    EXPECT_EQ(clipboard->text(), "alpha\r\nhttp://c.example/\r\n\r\nBing");
    frame.DoCommand(kCmdCopyAddress);
    EXPECT_EQ(clipboard->text(), "http://c.example/");
    runEventsFor(20);
    EXPECT_EQ(f.Status(), "1 result(s) selected");

    frame.DoCommand(kCmdInvertSelection);
    EXPECT_EQ(f.Status(), "2 result(s) selected");
    EXPECT_EQ(f.Selected(), (std::vector<int>{0, 2}));
    frame.DoCommand(kCmdSelectAll);
    EXPECT_EQ(f.Status(), "3 result(s) selected");
}

TEST(ResultsView, OpenMarksTheRowAndHandsTheAddressToTheBrowser) {
    ViewFixture f;
    f.dde.answers = true;
    f.ClickRow(2);
    f.Frame().DoCommand(kCmdOpenNewWindow);
    ASSERT_EQ(f.dde.conversations.size(), 1u);
    EXPECT_EQ(f.dde.conversations[0].item, "\"http://a.example/\",,0,0,,,");
    for (const int subItem : {1, 2, 3}) {
        ReportItem cell;
        cell.item = 2;
        cell.subItem = subItem;
        ASSERT_TRUE(f.Control().GetItem(cell));
        EXPECT_EQ(cell.textColor, CMarovaneProView::kColourOpened);
    }
    // A double click opens the row under the pointer in the same window.
    const QRect cell = f.Control().GetCellRect(0, f.Control().GetHeaderIndex(1));
    f.ClickRow(0);
    QTest::mouseDClick(&f.Control(), Qt::LeftButton, Qt::NoModifier, cell.center());
    ASSERT_EQ(f.dde.conversations.size(), 2u);
    EXPECT_EQ(f.dde.conversations[1].item, "\"http://b.example/\",,0xFFFFFFFF,0,,,");
}

TEST(ResultsView, ContextMenuGreysRowCommandsOffTheRows) {
    ViewFixture f;
    const QRect cell = f.Control().GetCellRect(0, f.Control().GetHeaderIndex(1));
    QMenu* menu = f.ContextMenuAt(cell.center());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(EnabledEntries(*menu),
              (Texts{"Open...", "Open in New Window...", "Copy", "&Copy Address",
                     "&Save Address...", "Delete", "Validate", "Sort &Results by"}));
    EXPECT_EQ(f.Selected(), (std::vector<int>{0}));
    menu->close();

    const QPoint below(cell.center().x(), f.Control().height() - 4);
    menu = f.ContextMenuAt(below);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(EnabledEntries(*menu), (Texts{"Sort &Results by"}));
    QMenu* sort = menu->actions().back()->menu();
    ASSERT_NE(sort, nullptr);
    EXPECT_EQ(EnabledEntries(*sort), (Texts{"&Title", "&Address", "Search &Engine"}));
    // A sort chosen there is carried out as from the main menu.
    sort->actions().front()->trigger();
    EXPECT_EQ(f.View().SortState(), CMarovaneProView::kSortTitleAscending);
    menu->close();
}

TEST(ResultsView, ShowSummaryKeepsStatesAndResetsSelectionAndPreviews) {
    ViewFixture f;
    CMainFrame& frame = f.Frame();
    ReportItem state;
    state.mask = kReportMaskImage;
    state.item = 1;
    state.subItem = 0;
    state.image = 2;
    f.Control().SetItem(state);
    frame.DoCommand(kCmdSelectAll);
    EXPECT_TRUE(frame.Action(kCmdShowSummary)->isChecked());

    frame.DoCommand(kCmdShowSummary);
    EXPECT_FALSE(frame.Action(kCmdShowSummary)->isChecked());
    EXPECT_TRUE(f.Selected().empty());
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(f.Control().GetRowFullHeight(row), f.Control().GetRowHeight());
    }
    ReportItem read;
    read.item = 1;
    read.subItem = 0;
    f.Control().GetItem(read);
    EXPECT_EQ(read.image, 2);

    frame.DoCommand(kCmdSelectAll);
    frame.DoCommand(kCmdShowSummary);
    EXPECT_TRUE(f.Selected().empty());
    const int measured = f.Control().GetTextHeight(f.Control().font(), "Second summary");
    EXPECT_EQ(f.Control().GetRowFullHeight(0), f.Control().GetRowHeight() + measured + 4);

    frame.DoCommand(kCmdShowGrids);
    frame.DoCommand(kCmdAlternateColors);
    EXPECT_TRUE(frame.Action(kCmdShowGrids)->isChecked());
    EXPECT_EQ(f.Control().GetStyle() & (kReportStyleGridLines | kReportStyleAlternateRows),
              kReportStyleGridLines | kReportStyleAlternateRows);
    frame.DoCommand(kCmdShowGrids);
    EXPECT_FALSE(frame.Action(kCmdShowGrids)->isChecked());
}

TEST(ResultsView, SummaryIsPaintedUnderItsRow) {
    ViewFixture f({{"Title", "http://a.example/", "WWWWWWWW WWWWWWWW", "Ask"}});
    const QImage picture = f.Control().grab().toImage();
    const QRect row = f.Control().GetRowRect(0);
    // Dark pixels of the summary's text lie in the preview area, right of its indent.
    int dark = 0;
    for (int y = row.top() + f.Control().GetRowHeight(); y <= row.bottom(); ++y) {
        for (int x = CMarovaneProView::kSummaryIndent; x < row.right(); ++x) {
            if (qGray(picture.pixel(x, y)) < 100) {
                ++dark;
            }
        }
    }
    EXPECT_GT(dark, 20);
}

// Each kind of message shows its caption, text and icon; caption-less texts (Find's notices)
// tell the user something and carry the information sign.
TEST(MessageBoxes, CaptionTextAndIconOfEachKind) {
    QtMessageSink sink;
    std::vector<std::pair<QString, QMessageBox::Icon>> seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr) {
            seen.emplace_back(box->windowTitle() + "|" + box->text(), box->icon());
            box->accept();
        }
    });
    closer.start(10);
    sink.showMessage("Warning", "Path error of browser.");
    sink.showMessage("Information", "Deleted number of repeated Titles: 2");
    sink.showMessage("Vantorell 2001", "Read Engine Property Error!");
    sink.showMessage("", "Complete searching for key words");
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].first, "Warning|Path error of browser.");
    EXPECT_EQ(seen[0].second, QMessageBox::Warning);
    EXPECT_EQ(seen[1].second, QMessageBox::Information);
    EXPECT_EQ(seen[2].second, QMessageBox::Critical);
    EXPECT_EQ(seen[3].first, "|Complete searching for key words");
    EXPECT_EQ(seen[3].second, QMessageBox::Information);
}

// Sorted by relevance before the search, the list keeps the pages both engines found on top
// while results arrive, and Save writes the rows in that order.
TEST(ResultsView, SortByRelevanceKeepsAgreedPagesOnTopAndSavesThem) {
    GuiFixture f;
    f.page = [](const std::string& engine, int first) -> std::string {
        if (first != 1) {
            return "";
        }
        const Texts letters = engine == "One" ? Texts{"a", "b", "c"} : Texts{"c", "a", "d"};
        std::string body;
        for (const std::string& letter : letters) {
            body += "<r><a href=\"http://" + letter + ".example/\">" + letter + "</a><p>m</p>\n";
        }
        return body;
    };
    f.AddEngine("One");
    f.AddEngine("Two");
    f.SetOption("SearchTimeout", "1");
    CMainFrame& frame = f.Frame();
    frame.DoCommand(kCmdSortRelevance);
    EXPECT_EQ(f.View().SortState(), CMarovaneProView::kSortRelevance);
    f.Search("x");
    ASSERT_TRUE(f.WaitForEnd(20000));
    QCoreApplication::processEvents();
    // a: 1/61 + 1/62; c: 1/63 + 1/61; b: 1/62; d: 1/63. Each engine's row of a shared page
    // stays (AutoRemoveUrl is off), beside the other.
    EXPECT_EQ(f.Column(2), (Texts{"http://a.example/", "http://a.example/", "http://c.example/",
                                  "http://c.example/", "http://b.example/", "http://d.example/"}));

    f.dialogs.answer = f.app.file("shown.csv");
    frame.DoCommand(kCmdSaveResults);
    const std::string csv = readFileBytes(f.dialogs.answer);
    EXPECT_LT(csv.find("a.example"), csv.find("c.example"));
    EXPECT_LT(csv.find("c.example"), csv.find("b.example"));
    EXPECT_LT(csv.find("b.example"), csv.find("d.example"));
}
