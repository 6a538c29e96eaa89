#include "app/CMarovaneProView.h"

#include "app/AccessibleMenuCommand.h"
#include "app/AppCommands.h"
#include "app/AppPictures.h"
#include "app/CommandTable.h"
#include "app/ResultsViewCommands.h"
#include "app/WrappedTextPainter.h"
#include "platform/BrowserLauncher.h"
#include "platform/ProfileFile.h"
#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/FlatHeaderTypes.h"

#include <QFocusEvent>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

#include <array>

namespace {

// Title markers that engines leave in titles, removed in this order.
constexpr std::array<std::string_view, 4> kTitleMarkers = {"|>", "<|", "||", " | "};
constexpr std::string_view kCopySeparator = "\r\n";

const char* const kStateHeading = "State";
const char* const kTitleHeading = "Title";
const char* const kAddressHeading = "Address";
const char* const kEnginesHeading = "Search Engines";

const QColor kSummaryText(0, 0, 0);

QString FromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

uint32_t HeaderStyle(uint32_t style) {
    return style << kReportFormatStyleShift;
}

} // namespace

CMarovaneProView::CMarovaneProView(ResultList& sessionResults, BrowserLauncher& browser,
                                   MessageSink& messages, FileDialogRunner& dialogs,
                                   std::string settingsPath, QWidget* parent)
    : CReportView(parent), m_control(GetReportCtrl()), m_sessionResults(sessionResults),
      m_browser(browser), m_settingsPath(std::move(settingsPath)),
      m_commands(std::make_unique<ResultsViewCommands>(*this, sessionResults, messages, dialogs)) {
    for (const QPixmap& icon : AppPictures::StateIcons()) {
        m_stateIcons.Add(icon);
    }
    setAccessibleName(QStringLiteral("Results"));
    setAccessibleDescription(QStringLiteral("The results of the search or of an opened file"));
    GetReportCtrl().SetListener(this);
}

CMarovaneProView::~CMarovaneProView() {
    // No state may arrive for rows that are going.
    m_commands->StopChecks();
    GetReportCtrl().SetListener(nullptr);
    GetReportCtrl().DestroyWindow();
    m_ownResults.Clear();
}

void CMarovaneProView::OnInitialUpdate() {
    CReportView::OnInitialUpdate();
    if (m_initialised) {
        return;
    }
    CReportCtrl& control = GetReportCtrl();
    control.setAccessibleName(QStringLiteral("Search results"));
    control.setAccessibleDescription(QStringLiteral(
        "One row per result: state, title, address and search engine, with the summary below"));
    control.SetImageList(&m_stateIcons);
    control.InsertColor(kColourAlternateRow, kAlternateRowColour);
    control.InsertColor(kColourGreyText, palette().color(QPalette::Disabled, QPalette::Text));
    control.InsertColor(kColourOpened, kOpenedColour);
    control.InsertColor(kColourNew, kNewColour);
    DefineColumns();
    const ProfileFile settings(m_settingsPath);
    if (!control.LoadLayout(settings, kLayoutSection, kLayoutEntry)) {
        control.ActivateSubItem(kColumnState, kColumnState);
        control.ActivateSubItem(kColumnTitle, kColumnTitle);
        control.ActivateSubItem(kColumnAddress, kColumnAddress);
        control.ActivateSubItem(kColumnEngines, kColumnEngines);
    }
    CFlatHeaderCtrl& header = control.GetHeaderCtrl();
    header.SetProperty(kHeaderPropertyDragCursor, kDragOutCursorId);
    header.SetProperty(kHeaderPropertyTips, kHeaderTipsOn);
    control.ModifyStyle(0, kReportStyleCellTips | kReportStyleHideDroppedColumn);
    SetColumnWidths();
    control.installEventFilter(this);
    m_initialised = true;
}

bool CMarovaneProView::eventFilter(QObject* watched, QEvent* event) {
    const bool focusEvent = event->type() == QEvent::FocusOut || event->type() == QEvent::FocusIn;
    if (watched == &m_control && focusEvent &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) {
        return true;
    }
    return CReportView::eventFilter(watched, event);
}

void CMarovaneProView::DefineColumns() {
    CReportCtrl& control = GetReportCtrl();
    ReportSubItem state;
    state.format = kReportFormatText | kReportFormatCenter |
                   HeaderStyle(kHeaderStyleFitContent | kHeaderStyleFixedWidth) |
                   kReportFormatNoFocus;
    state.text = kStateHeading;
    control.DefineSubItem(kColumnState, state);
    const std::array<const char*, 3> headings = {kTitleHeading, kAddressHeading, kEnginesHeading};
    for (std::size_t index = 0; index < headings.size(); ++index) {
        ReportSubItem column;
        column.format = kReportFormatText | HeaderStyle(kHeaderStyleSortable);
        column.text = headings[index];
        control.DefineSubItem(kColumnTitle + static_cast<int>(index), column);
    }
}

void CMarovaneProView::SetColumnWidths() {
    const int share = width() / kWidthDivisor - kWidthLess;
    CReportCtrl& control = GetReportCtrl();
    control.SetSubItemWidth(kColumnTitle, kTitleShares * share);
    control.SetSubItemWidth(kColumnAddress, kAddressShares * share);
    control.SetSubItemWidth(kColumnEngines, kEnginesShares * share);
}

void CMarovaneProView::resizeEvent(QResizeEvent* event) {
    CReportView::resizeEvent(event);
    if (m_initialised) {
        SetColumnWidths();
    }
}

void CMarovaneProView::Clear() {
    GetReportCtrl().DeleteAllItems();
    m_ownResults.Clear();
    m_commands->RowsCleared();
}

int CMarovaneProView::PreviewHeightOf(const SearchResult& result) const {
    CReportCtrl& control = m_control;
    const int measured = control.GetTextHeight(control.font(), result.summary.view());
    if (measured < 0) {
        return kPreviewFallbackHeight;
    }
    return measured + kPreviewMargin;
}

void CMarovaneProView::AddResult(int position, SearchResult& result) {
    CReportCtrl& control = GetReportCtrl();
    int preview = 0;
    if (m_showSummary) {
        preview = PreviewHeightOf(result);
    }
    ReportItem row;
    row.mask = kReportMaskImage | kReportMaskParam | kReportMaskPreview;
    row.item = position;
    row.subItem = kColumnState;
    row.image = 0;
    row.param = static_cast<uint32_t>(position);
    row.preview = preview;
    const int inserted = control.InsertItem(row);
    if (inserted >= 0) {
        m_commands->RowAdded(inserted);
    }

    result.title.set(CleanTitle(result.title.view()));

    const std::array<std::pair<int, std::string_view>, 3> cells = {
        std::pair<int, std::string_view>{kColumnTitle, result.title.view()},
        std::pair<int, std::string_view>{kColumnAddress, result.address.view()},
        std::pair<int, std::string_view>{kColumnEngines, result.engine.view()},
    };
    for (const auto& [subItem, text] : cells) {
        ReportItem cell;
        cell.mask = kReportMaskText | kReportMaskTextColor;
        cell.item = position;
        cell.subItem = subItem;
        cell.text = std::string(text);
        cell.textColor = kColourNew;
        control.SetItem(cell);
    }
    m_ownResults.Add(result);
    KeepRelevanceOrder();
}

std::string CMarovaneProView::CleanTitle(std::string_view title) {
    std::string cleaned(title);
    for (const std::string_view marker : kTitleMarkers) {
        std::size_t at = cleaned.find(marker);
        while (at != std::string::npos) {
            cleaned.erase(at, marker.size());
            at = cleaned.find(marker, at);
        }
    }
    return cleaned;
}

std::string CMarovaneProView::CopyText(const SearchResult& result) {
    std::string text(result.title.view());
    text += kCopySeparator;
    text += result.address.view();
    text += kCopySeparator;
    text += result.summary.view();
    text += kCopySeparator;
    text += result.engine.view();
    return text;
}

int CMarovaneProView::SelectAll() {
    CReportCtrl& control = GetReportCtrl();
    const int count = control.GetItemCount();
    if (count == 0) {
        return 0;
    }
    const int focus = control.GetFocusRow();
    control.SelectRange(0, count - 1, kReportSelectApply | kReportSelectKeepOthers);
    control.SelectRange(focus, focus, 0);
    return count;
}

int CMarovaneProView::InvertSelection() {
    CReportCtrl& control = GetReportCtrl();
    if (control.GetSelectionList().empty()) {
        return SelectAll();
    }
    control.InvertSelection();
    return static_cast<int>(control.GetSelectionList().size());
}

bool CMarovaneProView::GetSelectedResult(SearchResult& out) const {
    const int item = m_control.GetFirstSelectedItem();
    const SearchResult* result = m_sessionResults.Get(item);
    if (item < 0 || result == nullptr) {
        return false;
    }
    out.title = result->title;
    out.address = result->address;
    out.engine = result->engine;
    out.summary = result->summary;
    return true;
}

void CMarovaneProView::OpenInBrowser(std::string_view address, bool newWindow) {
    m_browser.OpenInBrowser(address, newWindow);
}

bool CMarovaneProView::OnCommand(int id) {
    switch (id) {
    case kCmdOpen:
        OnOpen(false);
        return true;
    case kCmdOpenNewWindow:
        OnOpen(true);
        return true;
    case kCmdSortTitle:
        OnSort(kColumnTitle, kSortTitleAscending, kSortTitleDescending);
        return true;
    case kCmdSortAddress:
        OnSort(kColumnAddress, kSortAddressAscending, kSortAddressDescending);
        return true;
    case kCmdSortEngine:
        OnSort(kColumnEngines, kSortEngineAscending, kSortEngineDescending);
        return true;
    case kCmdSortRelevance:
        m_sortState = kSortRelevance;
        SortByRelevance();
        return true;
    case kCmdShowGrids:
        ToggleStyle(kReportStyleGridLines);
        return true;
    case kCmdAlternateColors:
        ToggleStyle(kReportStyleAlternateRows);
        return true;
    case kCmdShowSummary:
        OnShowSummary();
        return true;
    default:
        return m_commands->OnCommand(id);
    }
}

std::optional<bool> CMarovaneProView::IsChecked(int id) const {
    const uint32_t style = m_control.GetStyle();
    switch (id) {
    case kCmdShowGrids:
        return (style & kReportStyleGridLines) != 0;
    case kCmdAlternateColors:
        return (style & kReportStyleAlternateRows) != 0;
    case kCmdShowSummary:
        return m_showSummary;
    default:
        return std::nullopt;
    }
}

int CMarovaneProView::SortState() const {
    return m_sortState;
}

void CMarovaneProView::UpdateEngines(int position, const SearchResult& result) {
    ReportItem cell;
    cell.mask = kReportMaskText;
    cell.item = position;
    cell.subItem = kColumnEngines;
    cell.text = std::string(result.engine.view());
    GetReportCtrl().SetItem(cell);
    SearchResult* own = m_ownResults.Get(position);
    if (own != nullptr) {
        own->engine.set(result.engine.view());
    }
    KeepRelevanceOrder();
}

bool CMarovaneProView::IsShowingSummary() const {
    return m_showSummary;
}

const ResultList& CMarovaneProView::OwnResults() const {
    return m_ownResults;
}

void CMarovaneProView::SetOnSelectionCount(std::function<void(int)> handler) {
    m_onSelectionCount = std::move(handler);
}

void CMarovaneProView::SetOnCommand(std::function<void(int)> handler) {
    m_onCommand = std::move(handler);
}

QMenu* CMarovaneProView::ContextMenu() const {
    return m_contextMenu;
}

FindDialog* CMarovaneProView::LastFindDialog() const {
    return m_commands->LastFindDialog();
}

RefineDialog* CMarovaneProView::LastRefineDialog() const {
    return m_commands->LastRefineDialog();
}

int CMarovaneProView::StateOf(int item) const {
    ReportItem row;
    row.mask = kReportMaskImage;
    row.item = item;
    row.subItem = kColumnState;
    if (!m_control.GetItem(row)) {
        return static_cast<int>(LinkState::NotChecked);
    }
    return row.image;
}

const LinkCheckManager& CMarovaneProView::LinkChecks() const {
    return m_commands->LinkChecks();
}

const ResultFinder& CMarovaneProView::Finder() const {
    return m_commands->Finder();
}

void CMarovaneProView::OnOpen(bool newWindow) {
    SearchResult selected;
    if (!GetSelectedResult(selected)) {
        return;
    }
    const int item = GetReportCtrl().GetFirstSelectedItem();
    OpenInBrowser(selected.address.view(), newWindow);
    MarkOpened(item);
}

void CMarovaneProView::MarkOpened(int item) {
    CReportCtrl& control = GetReportCtrl();
    for (const int subItem : {kColumnTitle, kColumnAddress, kColumnEngines}) {
        ReportItem cell;
        cell.mask = kReportMaskText | kReportMaskTextColor;
        cell.item = item;
        cell.subItem = subItem;
        cell.text = control.GetItemText(item, subItem);
        cell.textColor = kColourOpened;
        if (subItem == kColumnEngines) {
            // The selection changes only through selecting; the state is set as the original
            // row record had it.
            cell.mask |= kReportMaskState;
            cell.state = kReportStateSelected;
        }
        control.SetItem(cell);
    }
}

void CMarovaneProView::OnSort(int subItem, int ascendingState, int descendingState) {
    bool ascending = true;
    if (m_sortState == ascendingState) {
        ascending = false;
    }
    m_sortState = ascending ? ascendingState : descendingState;
    GetReportCtrl().SortItems(subItem, ascending);
}

void CMarovaneProView::SetRanking(const RelevanceRanking* ranking) {
    m_ranking = ranking;
}

ResultList
CMarovaneProView::ResultsToSave(std::vector<const RelevanceRanking::Page*>& pages) const {
    ResultList list;
    if (m_sortState != kSortRelevance) {
        list = m_sessionResults;
    } else {
        for (const int item : m_control.GetRowOrder()) {
            list.Add(*m_sessionResults.Get(item));
        }
    }
    pages.clear();
    for (int32_t row = 0; row < list.Count(); ++row) {
        pages.push_back(m_ranking != nullptr ? m_ranking->Find(list.Get(row)->address.view())
                                             : nullptr);
    }
    return list;
}

void CMarovaneProView::SortByRelevance() {
    m_relevanceSortDue = false;
    if (m_sortState != kSortRelevance) {
        return;
    }
    std::vector<int> order;
    if (m_ranking != nullptr) {
        const std::vector<int32_t> ranked = m_ranking->Order(m_sessionResults);
        order.assign(ranked.begin(), ranked.end());
    } else {
        for (int item = 0; item < m_sessionResults.Count(); ++item) {
            order.push_back(item);
        }
    }
    GetReportCtrl().OrderRows(order);
}

void CMarovaneProView::KeepRelevanceOrder() {
    if (m_sortState != kSortRelevance || m_relevanceSortDue) {
        return;
    }
    m_relevanceSortDue = true;
    QTimer::singleShot(0, this, [this] { SortByRelevance(); });
}

void CMarovaneProView::ToggleStyle(uint32_t style) {
    CReportCtrl& control = GetReportCtrl();
    if ((control.GetStyle() & style) != 0) {
        control.ModifyStyle(style, 0);
    } else {
        control.ModifyStyle(0, style);
    }
    control.update();
}

void CMarovaneProView::OnShowSummary() {
    m_showSummary = !m_showSummary;
    CReportCtrl& control = GetReportCtrl();
    const int count = control.GetItemCount();
    for (int item = 0; item < count; ++item) {
        // Only the previews change: the state icons keep what link validation found, so that
        // deleting the invalid addresses afterwards still finds them.
        ReportItem row;
        row.mask = kReportMaskPreview;
        row.item = item;
        row.subItem = kColumnState;
        row.preview = 0;
        if (m_showSummary) {
            const SearchResult* result = m_sessionResults.Get(item);
            row.preview = result != nullptr ? PreviewHeightOf(*result) : kPreviewFallbackHeight;
            row.mask |= kReportMaskParam;
            row.param = static_cast<uint32_t>(item);
        }
        control.SetItem(row);
    }
    for (int row = 0; row < count; ++row) {
        control.SetItemState(row, 0, kReportStateSelected);
    }
    control.update();
}

int CMarovaneProView::OnReportNotify(const ReportNotify& notify) {
    switch (notify.header.code) {
    case kReportNotifyColumnClick:
        // A column's order replaces the order by relevance, which arriving results no longer
        // restore.
        if (m_sortState == kSortRelevance) {
            m_sortState = kSortNone;
        }
        return 0;
    case kReportNotifySelectionChanged:
        PostSelectionCount();
        return 0;
    case kReportNotifyDoubleClick:
        if (notify.item >= 0) {
            OnOpen(false);
        }
        return 0;
    case kReportNotifyRightButtonDown: {
        const bool onRow = notify.item >= 0;
        const QPoint globalPoint = GetReportCtrl().mapToGlobal(notify.point);
        // Shown once the control has selected the row under the pointer.
        QTimer::singleShot(0, this,
                           [this, onRow, globalPoint] { ShowContextMenu(onRow, globalPoint); });
        return 0;
    }
    default:
        return 0;
    }
}

void CMarovaneProView::OnReportPreviewDraw(const ReportPreviewDraw& draw) {
    const SearchResult* result = m_sessionResults.Get(draw.item);
    if (draw.painter == nullptr || result == nullptr) {
        return;
    }
    QPainter& painter = *draw.painter;
    painter.save();
    const bool highlighted = (draw.state & kReportStateSelected) != 0 && GetReportCtrl().HasFocus();
    if (highlighted) {
        painter.setPen(GetReportCtrl().GetColors().highlightText);
    } else {
        painter.setPen(kSummaryText);
    }
    painter.setFont(GetReportCtrl().font());
    const QRect area =
        draw.rect.adjusted(kSummaryIndent, kSummaryVerticalInset, 0, -kSummaryVerticalInset);
    WrappedTextPainter::Draw(painter, area, FromBytes(result->summary.view()));
    painter.restore();
}

void CMarovaneProView::ShowContextMenu(bool onRow, const QPoint& globalPoint) {
    // The menu shown before may still be closing: it goes once the event loop is back.
    if (m_contextMenu != nullptr) {
        m_contextMenu->deleteLater();
    }
    m_contextMenu = new QMenu(this);
    m_contextMenu->setAccessibleName(QStringLiteral("Result commands"));
    m_contextMenu->setAccessibleDescription(QStringLiteral("Commands on the selected results"));
    QMenu* current = m_contextMenu;
    for (const MenuEntry& entry : CommandTable::ContextMenu()) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator:
            current->addSeparator();
            break;
        case MenuEntry::Kind::SubMenuBegin:
            current = current->addMenu(QString::fromLatin1(entry.text));
            break;
        case MenuEntry::Kind::SubMenuEnd:
            current = m_contextMenu;
            break;
        case MenuEntry::Kind::Command: {
            QAction* action = current->addAction(QString::fromLatin1(entry.text));
            const int id = entry.id;
            const bool sort = id == kCmdSortTitle || id == kCmdSortAddress ||
                              id == kCmdSortEngine || id == kCmdSortRelevance;
            action->setEnabled(onRow || sort);
            AccessibleMenuCommand::Mark(action, QString::fromLatin1(CommandTable::Description(id)));
            QObject::connect(action, &QAction::triggered, this, [this, id] {
                if (m_onCommand) {
                    m_onCommand(id);
                } else {
                    OnCommand(id);
                }
            });
            break;
        }
        }
    }
    m_contextMenu->popup(globalPoint);
}

void CMarovaneProView::PostSelectionCount() {
    if (m_countPosted) {
        return;
    }
    m_countPosted = true;
    QTimer::singleShot(0, this, [this] {
        m_countPosted = false;
        if (m_onSelectionCount) {
            m_onSelectionCount(static_cast<int>(GetReportCtrl().GetSelectionList().size()));
        }
    });
}
