#include "app/CMainFrame.h"

#include "app/AboutDialog.h"
#include "app/AccessibleMenuCommand.h"
#include "app/AppCommands.h"
#include "app/AppPictures.h"
#include "app/CMarovaneProView.h"
#include "app/CategoryPictures.h"
#include "app/CommandTable.h"
#include "app/EngineChoiceList.h"
#include "app/EngineReportDialog.h"
#include "app/FileDialogRunner.h"
#include "app/FlatImageCombo.h"
#include "app/HelpPages.h"
#include "app/OptionsSheet.h"
#include "app/ProgressStatusBar.h"
#include "app/SearchBar.h"
#include "platform/BrowserLauncher.h"
#include "platform/MessageSink.h"
#include "platform/ProcessLauncher.h"
#include "platform/ShellOpen.h"
#include "results/ResultsDocument.h"
#include "search/SearchSession.h"
#include "settings/OptionsStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>

namespace {

constexpr std::size_t kStatusTextSize = 64;
constexpr std::string_view kNoPrompt = "";
constexpr const char* kResultsSuffix = "vnr";

// The filters of the Save Results dialog, and the extension each gives a name typed without
// one (the last, all files, keeps the results file's).
const std::vector<std::pair<const char*, const char*>> kSaveFilters = {
    {"Vantorell 2001 Files (*.vnr)", "vnr"},
    {"HTML Files (*.htm)", "htm"},
    {"Text Files (*.txt)", "txt"},
    {"JSON Files (*.json)", "json"},
    {"CSV Files (*.csv)", "csv"},
    {"All Files (*.*)", "vnr"},
};
// The Update Engines dialog offers engine definition files only.
constexpr const char* kEngineFilesFilter = "Vantorell2001 VNP Files(*.vnp)";
constexpr const char* kEngineFilesSuffix = "vnp";
// "All Files" lists names without a dot too, which are common on Linux.
const std::vector<const char*> kOpenFilters = {
    "Vantorell 2001 Files (*.vnr)",
    "All Files (*)",
};

QString AccessibleNameOf(const char* text) {
    return AccessibleMenuCommand::NameOf(QString::fromLatin1(text));
}

QString FromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CMainFrame::CMainFrame(const FrameServices& services, QWidget* parent)
    : QMainWindow(parent), m_services(services),
      m_catalog(services.options.ProgramFolder(), services.messages) {
    AccessibleMenuCommand::Install();
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(AppPictures::ProgramIcon());
    setAccessibleName(QString::fromLatin1(kTitle));
    setAccessibleDescription(QStringLiteral("Meta-search: search many engines at once"));
    move(kCreateX, kCreateY);
    resize(kCreateWidth, kCreateHeight);

    m_browser = std::make_unique<BrowserLauncher>(
        services.options, services.dde, services.processes, services.desktop, services.messages);
    m_session =
        std::make_unique<SearchSession>(m_catalog, *this, services.connection, services.options);

    CreateActions();
    CreateMenus();
    menuBar()->setAccessibleName(QStringLiteral("Menu bar"));
    menuBar()->setAccessibleDescription(
        QStringLiteral("The File, Edit, View, Tools and Help menus"));
    CreateToolBar();
    m_statusBar = new ProgressStatusBar(this);
    setStatusBar(m_statusBar);
    CreateSearchBar();
    CreateCategoryCombo();
    m_catalog.Load();
    FillCategoryCombo();
    SetStatusText(IdleText());

    m_view = new CMarovaneProView(m_session->Results(), *m_browser, m_services.messages,
                                  m_services.dialogs, m_services.options.SettingsPath(), this);
    setCentralWidget(m_view);
    m_view->OnInitialUpdate();
    m_view->SetRanking(&m_session->Ranking());
    m_view->SetOnSelectionCount([this](int count) { ShowSelectedCount(count); });
    m_view->SetOnCommand([this](int id) { DoCommand(id); });
    m_view->installEventFilter(this);
    RefreshCommandStates();
}

CMainFrame::~CMainFrame() {
    // The session stops its workers before the view and the lists go.
    m_session.reset();
}

void CMainFrame::CreateActions() {
    for (const MenuDefinition& menu : CommandTable::MainMenu()) {
        for (const MenuEntry& entry : menu.entries) {
            if (entry.kind != MenuEntry::Kind::Command) {
                continue;
            }
            auto* action = new QAction(QString::fromLatin1(entry.text), this);
            if (entry.key.toCombined() != 0) {
                action->setShortcut(QKeySequence(entry.key));
            }
            if (entry.tip != nullptr) {
                action->setToolTip(QString::fromLatin1(entry.tip));
            } else {
                action->setToolTip(AccessibleNameOf(entry.text));
            }
            action->setIconVisibleInMenu(false);
            AccessibleMenuCommand::Mark(action,
                                        QString::fromLatin1(CommandTable::Description(entry.id)));
            const int id = entry.id;
            const bool toggle = id == kCmdShowGrids || id == kCmdAlternateColors ||
                                id == kCmdShowSummary || id == kCmdToolBar || id == kCmdStatusBar;
            action->setCheckable(toggle);
            QObject::connect(action, &QAction::triggered, this, [this, id] { DoCommand(id); });
            m_actions[id] = action;
        }
    }
}

void CMainFrame::CreateMenus() {
    for (const MenuDefinition& definition : CommandTable::MainMenu()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(definition.title));
        menu->setAccessibleName(AccessibleNameOf(definition.title));
        menu->setAccessibleDescription(AccessibleNameOf(definition.title) +
                                       QStringLiteral(" commands"));
        m_menus.push_back(menu);
        QMenu* current = menu;
        for (const MenuEntry& entry : definition.entries) {
            switch (entry.kind) {
            case MenuEntry::Kind::Separator:
                current->addSeparator();
                break;
            case MenuEntry::Kind::SubMenuBegin:
                current = current->addMenu(QString::fromLatin1(entry.text));
                current->setAccessibleName(AccessibleNameOf(entry.text));
                current->setAccessibleDescription(QStringLiteral("The orders of the results"));
                break;
            case MenuEntry::Kind::SubMenuEnd:
                current = menu;
                break;
            case MenuEntry::Kind::Command:
                current->addAction(Action(entry.id));
                break;
            }
        }
        // Fly-by prompts: the commands' prompts are empty, and the idle text comes back when
        // the menu closes.
        QObject::connect(menu, &QMenu::aboutToShow, this, [this] { RefreshCommandStates(); });
        QObject::connect(menu, &QMenu::hovered, this, [this] { SetStatusText(kNoPrompt); });
        QObject::connect(menu, &QMenu::aboutToHide, this, [this] { SetStatusText(IdleText()); });
    }
}

void CMainFrame::CreateToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setAccessibleName(QStringLiteral("Toolbar"));
    m_toolBar->setAccessibleDescription(
        QStringLiteral("The commonest commands and the category to search"));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    m_toolBar->setIconSize(
        QSize(AppPictures::kToolBarPictureSize, AppPictures::kToolBarPictureSize));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const int id : CommandTable::ToolBar()) {
        if (id == CommandTable::kToolBarSeparator) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = Action(id);
        action->setIcon(QIcon(AppPictures::ToolBarPicture(id)));
        m_toolBar->addAction(action);
        QWidget* button = m_toolBar->widgetForAction(action);
        const MenuEntry* entry = CommandTable::Find(id);
        button->setAccessibleName(AccessibleNameOf(entry->text));
        button->setAccessibleDescription(action->toolTip());
        WatchFlyBy(button);
    }
}

void CMainFrame::CreateSearchBar() {
    addToolBarBreak(Qt::TopToolBarArea);
    m_searchBand = addToolBar(QStringLiteral("Search"));
    m_searchBand->setObjectName(QStringLiteral("searchBand"));
    m_searchBand->setAccessibleName(QStringLiteral("Search band"));
    m_searchBand->setAccessibleDescription(QStringLiteral("The keyword and the Search button"));
    m_searchBand->setMovable(true);
    m_searchBand->setAllowedAreas(Qt::TopToolBarArea);
    m_searchBar = new SearchBar(m_services.options.ProgramFolder(), m_searchBand);
    m_searchBar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_searchBand->addWidget(m_searchBar);
    m_searchBar->SetOnSearch([this] { m_session->OnSearchButton(); });
    // Enter in the keyword combo starts a search, as long as none runs.
    m_searchBar->SetOnEnter([this] {
        if (!m_session->IsSearching()) {
            m_session->StartSearch();
        }
    });
}

void CMainFrame::CreateCategoryCombo() {
    auto* place = new QWidget(m_toolBar);
    place->setFixedWidth(kCategoryPlaceWidth);
    m_categoryCombo = new FlatImageCombo(place);
    m_categoryCombo->setAccessibleName(QStringLiteral("Category"));
    m_categoryCombo->setAccessibleDescription(
        QStringLiteral("The category whose engines the search asks"));
    m_categoryCombo->SetIcons(CategoryPictures::Icons());
    const int comboHeight = m_categoryCombo->sizeHint().height();
    place->setFixedHeight(comboHeight + kCategoryComboLower);
    m_categoryCombo->setGeometry(kCategoryComboShrink / 2, kCategoryComboLower,
                                 kCategoryPlaceWidth - kCategoryComboShrink, comboHeight);
    m_toolBar->addWidget(place);
    // A choice of engines belongs to its category: another category starts from its files.
    connect(m_categoryCombo, &QComboBox::currentIndexChanged, this, [this] {
        m_session->SetEngineChoice({});
        if (m_engineReport != nullptr) {
            m_catalog.SelectCategory(Category());
            m_engineReport->Choice().Fill(m_catalog);
        }
    });
}

void CMainFrame::FillCategoryCombo() {
    m_categoryCombo->clear();
    for (const std::string& category : m_catalog.SearchBarCategories()) {
        m_categoryCombo->AddCategory(category);
    }
    m_categoryCombo->setCurrentIndex(0);
}

void CMainFrame::WatchFlyBy(QWidget* widget) {
    widget->installEventFilter(this);
    widget->setProperty("vantorellFlyBy", true);
}

std::string CMainFrame::Keyword() {
    return m_searchBar->Keyword();
}

std::string CMainFrame::Category() {
    return m_categoryCombo->SelectedCategory();
}

void CMainFrame::SetStatusText(std::string_view text) {
    m_statusBar->SetPaneText(text);
}

void CMainFrame::SetProgressRange(int lower, int upper) {
    m_statusBar->SetProgressRange(lower, upper);
}

void CMainFrame::StepProgress() {
    m_statusBar->StepProgress();
}

void CMainFrame::ResetProgress() {
    m_statusBar->ResetProgress();
}

void CMainFrame::SetSearchButtonState(int state) {
    m_searchBar->SetPictureState(state);
}

void CMainFrame::ShowMessage(std::string_view caption, std::string_view text) {
    m_services.messages.showMessage(caption, text);
}

void CMainFrame::ClearResults() {
    m_resultsFromFile = false;
    m_view->Clear();
    RefreshCommandStates();
}

void CMainFrame::UpdateResultRow(int position, const SearchResult& result) {
    m_view->UpdateEngines(position, result);
}

void CMainFrame::AddResultRow(int position, const SearchResult& result) {
    SearchResult* listed = m_session->Results().Get(position);
    if (listed != nullptr) {
        m_view->AddResult(position, *listed);
    } else {
        SearchResult copy = result;
        m_view->AddResult(position, copy);
    }
    if (!m_resultCommandsEnabled) {
        RefreshCommandStates();
    }
}

void CMainFrame::DoCommand(int id) {
    switch (id) {
    case kCmdNewInstance:
        OnNewInstance();
        break;
    case kCmdOpenResults:
        OnOpenResults();
        break;
    case kCmdSaveResults:
        OnSaveResults();
        break;
    case kCmdExit:
        close();
        break;
    case kCmdSelectAll:
        ShowSelectedCount(m_view->SelectAll());
        break;
    case kCmdInvertSelection:
        ShowSelectedCount(m_view->InvertSelection());
        break;
    case kCmdToolBar:
        m_toolBar->setVisible(m_toolBar->isHidden());
        break;
    case kCmdStatusBar:
        m_statusBar->setVisible(m_statusBar->isHidden());
        break;
    case kCmdBrowse:
        OnBrowse();
        break;
    case kCmdUpdateEngines:
        OnUpdateEngines();
        break;
    case kCmdOptions:
        OnOptions();
        break;
    case kCmdHelpIndex:
        // What the desktop makes of the page is not ours to check.
        m_services.desktop.Open(HelpPages::HelpFilePath(m_services.options.ProgramFolder()));
        break;
    case kCmdFeedback:
        m_services.desktop.Open(HelpPages::kFeedbackPage);
        break;
    case kCmdSuggestEngine:
        m_services.desktop.Open(HelpPages::kSuggestEnginePage);
        break;
    case kCmdTellFriend:
        m_services.desktop.Open(HelpPages::kTellFriendPage);
        break;
    case kCmdCheckUpdates:
        m_services.desktop.Open(HelpPages::kUpdatePage);
        break;
    case kCmdHomePage:
        m_services.desktop.Open(HelpPages::kHomePage);
        break;
    case kCmdEngineReport:
        OnEngineReport();
        break;
    case kCmdAbout: {
        AboutDialog about(m_services.desktop, m_services.processes, m_services.messages, this);
        about.exec();
        break;
    }
    default:
        m_view->OnCommand(id);
        break;
    }
    RefreshCommandStates();
}

void CMainFrame::RefreshCommandStates() {
    const bool anyResult = m_session->Results().Count() > 0;
    m_resultCommandsEnabled = anyResult;
    for (const auto& [id, action] : m_actions) {
        if (CommandTable::NeedsResults(id)) {
            action->setEnabled(anyResult);
        }
        const std::optional<bool> checked =
            m_view != nullptr ? m_view->IsChecked(id) : std::optional<bool>();
        if (checked) {
            action->setChecked(*checked);
        }
    }
    Action(kCmdToolBar)->setChecked(!m_toolBar->isHidden());
    Action(kCmdStatusBar)->setChecked(!m_statusBar->isHidden());
}

void CMainFrame::SetNewInstanceArguments(std::vector<std::string> arguments) {
    m_newInstanceArguments = std::move(arguments);
}

void CMainFrame::OpenResultsFile(const std::string& path) {
    ResultList& results = m_session->Results();
    if (!path.empty()) {
        // The file replaces the list: a running search would go on appending its results to
        // the file's rows.
        m_session->StopSearch();
        m_view->Clear();
        ResultsDocument::OpenResults(results, path, m_services.messages);
        m_resultsFromFile = true;
        for (int32_t index = 0; index < results.Count(); ++index) {
            m_view->AddResult(index, *results.Get(index));
        }
    }
    SetStatusText(ResultsDocument::CountStatusText(results.Count()));
    RefreshCommandStates();
}

void CMainFrame::ShowSelectedCount(int count) {
    char text[kStatusTextSize];
    std::snprintf(text, sizeof text, kSelectedFormat, count);
    SetStatusText(text);
}

void CMainFrame::OnNewInstance() {
    const std::string program =
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    m_services.processes.StartDetached(program, m_newInstanceArguments);
}

void CMainFrame::OnOpenResults() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromLatin1(kResultsSuffix));
    QStringList filters;
    for (const char* filter : kOpenFilters) {
        filters << QString::fromLatin1(filter);
    }
    dialog.setNameFilters(filters);
    OpenResultsFile(m_services.dialogs.Run(dialog));
}

void CMainFrame::OnSaveResults() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromLatin1(kResultsSuffix));
    QStringList filters;
    for (const auto& [filter, suffix] : kSaveFilters) {
        filters << QString::fromLatin1(filter);
    }
    dialog.setNameFilters(filters);
    // A name typed without an extension takes the chosen filter's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& chosen) {
                         for (const auto& [filter, suffix] : kSaveFilters) {
                             if (chosen == QString::fromLatin1(filter)) {
                                 dialog.setDefaultSuffix(QString::fromLatin1(suffix));
                             }
                         }
                     });
    dialog.selectFile(FromBytes(m_session->CurrentKeyword()));
    const std::string path = m_services.dialogs.Run(dialog);
    if (path.empty()) {
        return;
    }
    std::vector<const RelevanceRanking::Page*> pages;
    const ResultList shown = m_view->ResultsToSave(pages);
    // A results file keeps no keyword, so its results give the page no title of theirs.
    const std::string keyword = m_resultsFromFile ? std::string() : m_session->CurrentKeyword();
    if (!ResultsDocument::SaveResults(shown, path, keyword, pages)) {
        m_services.messages.showMessage(MessageSink::kWarningCaption,
                                        std::string(kSaveFailedText) + path);
    }
}

void CMainFrame::OnUpdateEngines() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDefaultSuffix(QString::fromLatin1(kEngineFilesSuffix));
    dialog.setNameFilter(QString::fromLatin1(kEngineFilesFilter));
    const std::vector<std::string> paths = m_services.dialogs.RunMany(dialog);
    if (paths.empty()) {
        return;
    }
    m_catalog.ImportEngineFiles(paths);
}

std::string CMainFrame::IdleText() const {
    if (m_catalog.CategoryCount() > 0) {
        return std::string(ProgressStatusBar::kIdleText);
    }
    return std::string(kNoEnginesText) + m_services.options.ProgramFolder();
}

void CMainFrame::OnOptions() {
    // The engine page shows each engine's health, the last search's outcomes included.
    m_session->WaitForHealth();
    OptionsSheet sheet(m_services.options, m_catalog, *m_categoryCombo, m_services.messages,
                       m_services.dialogs, this);
    sheet.exec();
}

void CMainFrame::OnBrowse() {
    ResultsDocument::Browse(m_session->Results(), m_services.desktop);
}

QAction* CMainFrame::Action(int id) const {
    const auto found = m_actions.find(id);
    if (found == m_actions.end()) {
        return nullptr;
    }
    return found->second;
}

QMenu* CMainFrame::Menu(int index) const {
    if (index < 0 || index >= static_cast<int>(m_menus.size())) {
        return nullptr;
    }
    return m_menus[static_cast<std::size_t>(index)];
}

SearchBar& CMainFrame::GetSearchBar() {
    return *m_searchBar;
}

FlatImageCombo& CMainFrame::CategoryCombo() {
    return *m_categoryCombo;
}

ProgressStatusBar& CMainFrame::StatusBar() {
    return *m_statusBar;
}

CMarovaneProView& CMainFrame::View() {
    return *m_view;
}

SearchSession& CMainFrame::Session() {
    return *m_session;
}

QToolBar& CMainFrame::ToolBar() {
    return *m_toolBar;
}

bool CMainFrame::IsFirstPaintDone() const {
    return m_firstPaintDone;
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::Paint && !m_firstPaintDone) {
        OnFirstPaint();
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::Paint && !m_firstPaintDone) {
        OnFirstPaint();
    }
    if (watched->property("vantorellFlyBy").toBool()) {
        if (event->type() == QEvent::Enter) {
            SetStatusText(kNoPrompt);
        } else if (event->type() == QEvent::Leave) {
            SetStatusText(IdleText());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnFirstPaint() {
    m_firstPaintDone = true;
    m_searchBar->setFont(m_toolBar->font());
    m_categoryCombo->setFont(m_toolBar->font());
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_firstPaintDone) {
        WriteWinState();
    }
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_firstPaintDone) {
        WriteWinState();
    }
}

void CMainFrame::WriteWinState() {
    OptionsStore options = m_services.options;
    if (isMaximized() && !isMinimized()) {
        options.SetWinState(OptionsStore::kWinStateMaximized);
    } else {
        options.SetWinState(OptionsStore::kWinStateNormal);
    }
}

void CMainFrame::OnEngineReport() {
    if (m_engineReport == nullptr) {
        m_engineReport = new EngineReportDialog(m_session->Account(), this);
        m_engineReport->Choice().SetOnChoice([this](std::vector<std::string> names) {
            m_session->SetEngineChoice(std::move(names));
        });
    }
    // The tick list shows the chosen category's engines as their files have them.
    m_catalog.SelectCategory(Category());
    m_engineReport->Choice().Fill(m_catalog);
    m_engineReport->show();
    m_engineReport->raise();
    m_engineReport->activateWindow();
}

EngineReportDialog* CMainFrame::EngineReport() const {
    return m_engineReport;
}
