#pragma once

#include "app/AppTitle.h"
#include "app/FrameServices.h"
#include "model/EngineCatalog.h"
#include "search/SearchSessionView.h"

#include <QMainWindow>

#include <map>
#include <memory>
#include <string>
#include <vector>

class BrowserLauncher;
class CMarovaneProView;
class EngineReportDialog;
class FlatImageCombo;
class ProgressStatusBar;
class QMenu;
class QToolBar;
class SearchBar;
class SearchSession;

// The main window: menus, tool bar with the category combo, search bar, the results view and
// the status bar. It runs the search session on the keyword and category of its search bar,
// routes every command to the part that carries it out, greys the commands that need results
// while there are none, and writes the window state on every resize after the first paint.
class CMainFrame : public QMainWindow, public SearchSessionView {
  public:
    static constexpr int kCreateX = 20;
    static constexpr int kCreateY = 20;
    static constexpr int kCreateWidth = 620;
    static constexpr int kCreateHeight = 460;
    // The tool bar's last place, which holds the category combo.
    static constexpr int kCategoryPlaceWidth = 166;
    // The combo is this much narrower than its place, and this much lower.
    static constexpr int kCategoryComboShrink = 4;
    static constexpr int kCategoryComboLower = 2;
    static constexpr const char* kTitle = kAppTitle;
    // Shown, with the path, when Save Results could not write the file.
    static constexpr const char* kSaveFailedText = "The results could not be saved to ";
    static constexpr const char* kSelectedFormat = "%d result(s) selected";
    // The idle text of a window that found no engine in its program folder at start, before
    // the folder's path.
    static constexpr const char* kNoEnginesText = "No search engines were loaded from ";

    CMainFrame(const FrameServices& services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The search session's view of the window.
    std::string Keyword() override;
    std::string Category() override;
    void SetStatusText(std::string_view text) override;
    void SetProgressRange(int lower, int upper) override;
    void StepProgress() override;
    void ResetProgress() override;
    void SetSearchButtonState(int state) override;
    void ShowMessage(std::string_view caption, std::string_view text) override;
    void ClearResults() override;
    void AddResultRow(int position, const SearchResult& result) override;
    void UpdateResultRow(int position, const SearchResult& result) override;

    // Carries out a command of the menus, the tool bar, the accelerators or the context menu.
    void DoCommand(int id);
    // Open Results on a chosen path (empty: only the count is shown).
    void OpenResultsFile(const std::string& path);
    // Greys or enables the commands that need results, and sets the check marks.
    void RefreshCommandStates();
    // The arguments "Open A New Vantorell 2001..." gives the new copy.
    void SetNewInstanceArguments(std::vector<std::string> arguments);

    QAction* Action(int id) const;
    QMenu* Menu(int index) const;
    SearchBar& GetSearchBar();
    FlatImageCombo& CategoryCombo();
    ProgressStatusBar& StatusBar();
    CMarovaneProView& View();
    SearchSession& Session();
    // The engine report window, once the command has opened it.
    EngineReportDialog* EngineReport() const;
    QToolBar& ToolBar();
    bool IsFirstPaintDone() const;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateSearchBar();
    void CreateCategoryCombo();
    void FillCategoryCombo();
    void WatchFlyBy(QWidget* widget);
    void OnFirstPaint();
    // "Ready", or what is missing when the program folder has no engine to search.
    std::string IdleText() const;
    void WriteWinState();
    void ShowSelectedCount(int count);
    void OnNewInstance();
    void OnOpenResults();
    void OnSaveResults();
    void OnBrowse();
    void OnUpdateEngines();
    void OnOptions();
    // Shows the engine report window, made once and kept.
    void OnEngineReport();

    FrameServices m_services;
    EngineCatalog m_catalog;
    std::unique_ptr<BrowserLauncher> m_browser;
    std::unique_ptr<SearchSession> m_session;
    CMarovaneProView* m_view = nullptr;
    EngineReportDialog* m_engineReport = nullptr;
    QToolBar* m_toolBar = nullptr;
    QToolBar* m_searchBand = nullptr;
    SearchBar* m_searchBar = nullptr;
    FlatImageCombo* m_categoryCombo = nullptr;
    ProgressStatusBar* m_statusBar = nullptr;
    std::map<int, QAction*> m_actions;
    std::vector<QMenu*> m_menus;
    std::vector<std::string> m_newInstanceArguments;
    bool m_firstPaintDone = false;
    bool m_resultCommandsEnabled = true;
    // The list holds an opened results file rather than the last search's results.
    bool m_resultsFromFile = false;
};
