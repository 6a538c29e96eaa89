#pragma once

#include "model/ResultList.h"
#include "results/LinkCheckManager.h"
#include "results/ResultFinder.h"
#include "search/RelevanceRanking.h"
#include "widgets/CReportView.h"
#include "widgets/ReportCtrlListener.h"
#include "widgets/ReportImageList.h"

#include <QColor>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class BrowserLauncher;

class FileDialogRunner;
class FindDialog;
class MessageSink;
class QMenu;
class RefineDialog;
class ResultsViewCommands;

// The results view: one row per result of the main window's result list, with its state icon,
// title, address and engine, and its summary painted in the area under the row. It carries out
// the commands on the rows: open in a browser, copy, select, sort, grids, alternating colours,
// summaries and the context menu. The commands that thin out, search and hand on the rows
// (delete, duplicates, link validation, find, copy and save address) are ResultsViewCommands'.
//
// Rows are added with their item index equal to the position of their result in the main
// window's list, and the same number as item data; commands address that list by item index.
class CMarovaneProView : public CReportView, private ReportCtrlListener {
  public:
    // The columns (sub-items).
    static constexpr int kColumnState = 0;
    static constexpr int kColumnTitle = 1;
    static constexpr int kColumnAddress = 2;
    static constexpr int kColumnEngines = 3;

    // The palette of the report control.
    static constexpr int kColourAlternateRow = 0;
    static constexpr int kColourGreyText = 1;
    static constexpr int kColourOpened = 2;
    static constexpr int kColourNew = 3;
    static inline const QColor kAlternateRowColour{192, 216, 192};
    static inline const QColor kOpenedColour{192, 192, 208};
    static inline const QColor kNewColour{0, 64, 128};

    // The last sort, by column and direction.
    static constexpr int kSortNone = 0;
    static constexpr int kSortTitleAscending = 1;
    static constexpr int kSortTitleDescending = 2;
    static constexpr int kSortAddressAscending = 16;
    static constexpr int kSortAddressDescending = 32;
    static constexpr int kSortEngineAscending = 256;
    static constexpr int kSortEngineDescending = 512;
    // The pages most engines agree on first (RelevanceRanking); kept while results arrive.
    static constexpr int kSortRelevance = 1024;

    // The area under a row: the summary's height plus this margin, or the fallback height
    // when the summary cannot be measured.
    static constexpr int kPreviewMargin = 4;
    static constexpr int kPreviewFallbackHeight = 60;
    // The summary is painted this far in from the area's left edge, and from its top and
    // bottom.
    static constexpr int kSummaryIndent = 40;
    static constexpr int kSummaryVerticalInset = 2;

    // Column widths from the client width W: w = W / kWidthDivisor - kWidthLess; the title and
    // the address take 4w, the engines 2w.
    static constexpr int kWidthDivisor = 10;
    static constexpr int kWidthLess = 6;
    static constexpr int kTitleShares = 4;
    static constexpr int kAddressShares = 4;
    static constexpr int kEnginesShares = 2;

    // Where a saved column layout is read from, in the settings file.
    static constexpr std::string_view kLayoutSection = "Settings";
    static constexpr std::string_view kLayoutEntry = "ReportCtrl";
    // The header's cursor while a column is dragged out of it.
    static constexpr uint32_t kDragOutCursorId = 134;
    static constexpr uint32_t kHeaderTipsOn = 1;

    CMarovaneProView(ResultList& sessionResults, BrowserLauncher& browser, MessageSink& messages,
                     FileDialogRunner& dialogs, std::string settingsPath,
                     QWidget* parent = nullptr);
    ~CMarovaneProView() override;

    // Sets the control up: state icons, colours, columns, layout, header, styles, widths.
    void OnInitialUpdate() override;

    // Removes every row and empties the own result list.
    void Clear();
    // Appends the row of result at position (its index in the main window's list). Cleans the
    // title of result itself, so the list holds the cleaned title.
    void AddResult(int position, SearchResult& result);
    // Shows the changed engines of the result at position (another engine found its page).
    void UpdateEngines(int position, const SearchResult& result);
    // Selects every row; returns the number of rows.
    int SelectAll();
    // Inverts the selection (selects all when none is selected); returns the number selected.
    int InvertSelection();
    // The result of the lowest selected item; false when no row is selected.
    bool GetSelectedResult(SearchResult& out) const;
    void OpenInBrowser(std::string_view address, bool newWindow);

    // Carries out one of the view's commands; false for a command that is not the view's.
    bool OnCommand(int id);
    // Whether a command's menu item is checked; nothing for commands without a check mark.
    std::optional<bool> IsChecked(int id) const;

    int SortState() const;
    // How the engines of the current search ranked its pages, for the sort by relevance.
    void SetRanking(const RelevanceRanking* ranking);
    // What Save Results writes: the rows in the order shown while sorted by relevance, else the
    // main window's list in its order; pages receives each one's page of the search.
    ResultList ResultsToSave(std::vector<const RelevanceRanking::Page*>& pages) const;
    bool IsShowingSummary() const;
    const ResultList& OwnResults() const;
    // The number of selected rows, after every change of the selection.
    void SetOnSelectionCount(std::function<void(int)> handler);
    // A command chosen in the context menu, to be carried out as from the main menu.
    void SetOnCommand(std::function<void(int)> handler);
    // The context menu last shown, or nullptr.
    QMenu* ContextMenu() const;
    // The Find and Refine dialogs last opened, while they are open.
    FindDialog* LastFindDialog() const;
    RefineDialog* LastRefineDialog() const;
    // The row's state icon (a LinkState value), by item index.
    int StateOf(int item) const;
    // Link checks running and waiting.
    const LinkCheckManager& LinkChecks() const;
    const ResultFinder& Finder() const;

    // A title without the markers "|>", "<|", "||" and " | ", removed in that order.
    static std::string CleanTitle(std::string_view title);
    // What Copy puts on the clipboard: title, address, summary and engine on their own lines.
    static std::string CopyText(const SearchResult& result);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // Keeps the list's focus look while a menu is open over it, as the desktop's menus do not
    // take the focus from the window they belong to.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class ResultsViewCommands;

    int OnReportNotify(const ReportNotify& notify) override;
    void OnReportPreviewDraw(const ReportPreviewDraw& draw) override;
    void DefineColumns();
    void SetColumnWidths();
    int PreviewHeightOf(const SearchResult& result) const;
    void OnOpen(bool newWindow);
    void MarkOpened(int item);
    void OnSort(int subItem, int ascendingState, int descendingState);
    void SortByRelevance();
    // Sorts by relevance again once the results that arrive together are all in.
    void KeepRelevanceOrder();
    void ToggleStyle(uint32_t style);
    void OnShowSummary();
    void ShowContextMenu(bool onRow, const QPoint& globalPoint);
    void PostSelectionCount();

    // The control of the base view, reachable from const members too.
    CReportCtrl& m_control;
    ResultList& m_sessionResults;
    BrowserLauncher& m_browser;
    // The settings file whose section "Settings" holds the list's column layout.
    std::string m_settingsPath;
    ResultList m_ownResults;
    // The commands that remove, check, find and hand on rows; they keep the row ids.
    std::unique_ptr<ResultsViewCommands> m_commands;
    ReportImageList m_stateIcons;
    int m_sortState = kSortNone;
    const RelevanceRanking* m_ranking = nullptr;
    bool m_relevanceSortDue = false;
    bool m_showSummary = true;
    bool m_initialised = false;
    bool m_countPosted = false;
    std::function<void(int)> m_onSelectionCount;
    std::function<void(int)> m_onCommand;
    // The context menu last shown; a child of the view.
    QMenu* m_contextMenu = nullptr;
};
