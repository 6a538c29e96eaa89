#include "app/CMarovaneProView.h"

#include "app/AccessibleMenuCommand.h"
#include "app/AppCommands.h"
#include "app/AppPictures.h"
#include "app/CommandTable.h"
#include "app/FileDialogRunner.h"
#include "app/FindDialog.h"
#include "app/RefineDialog.h"
#include "platform/BrowserLauncher.h"
#include "platform/MessageSink.h"
#include "platform/ProfileFile.h"
#include "results/InternetShortcut.h"
#include "results/RefineCommands.h"
#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/FlatHeaderTypes.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
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

// The separator of a file dialog filter in the platform's notation: "name|pattern|...||".
constexpr char kFilterSeparator = '|';

// The names of a "name|pattern|name|pattern||" filter, which carry their patterns in
// brackets as Qt's dialogs want them.
QStringList DialogFilters(std::string_view filter) {
    QStringList names;
    bool isName = true;
    std::size_t begin = 0;
    while (begin < filter.size()) {
        const std::size_t end = std::min(filter.find(kFilterSeparator, begin), filter.size());
        if (end > begin && isName) {
            names << QString::fromLatin1(filter.substr(begin, end - begin));
        }
        isName = !isName;
        begin = end + 1;
    }
    return names;
}

QString FromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

uint32_t HeaderStyle(uint32_t style) {
    return style << kReportFormatStyleShift;
}

// Draws text word-wrapped into area; when it does not fit, the last line that fits ends in an
// ellipsis.
void DrawWrappedText(QPainter& painter, const QRect& area, const QString& text) {
    if (area.width() <= 0 || area.height() <= 0) {
        return;
    }
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextLayout layout(text, painter.font());
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    bool cut = false;
    std::vector<QTextLine> lines;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(area.width());
        if (y + line.height() > area.height()) {
            cut = true;
            break;
        }
        line.setPosition(QPointF(0, y));
        y += line.height();
        lines.push_back(line);
    }
    layout.endLayout();
    if (lines.empty()) {
        return;
    }
    const QFontMetrics metrics(painter.font());
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const QTextLine& line = lines[index];
        const bool last = index + 1 == lines.size();
        if (last && cut) {
            const QString rest = text.mid(line.textStart()).simplified();
            const QString elided = metrics.elidedText(rest, Qt::ElideRight, area.width());
            painter.drawText(QPointF(area.left(), area.top() + line.y() + line.ascent()), elided);
            break;
        }
        line.draw(&painter, area.topLeft());
    }
}

} // namespace

CMarovaneProView::CMarovaneProView(ResultList& sessionResults, BrowserLauncher& browser,
                                   MessageSink& messages, FileDialogRunner& dialogs,
                                   std::string settingsPath, QWidget* parent)
    : CReportView(parent), m_control(GetReportCtrl()), m_sessionResults(sessionResults),
      m_browser(browser), m_messages(messages), m_dialogs(dialogs),
      m_settingsPath(std::move(settingsPath)), m_finder(messages) {
    for (const QPixmap& icon : AppPictures::StateIcons()) {
        m_stateIcons.Add(icon);
    }
    setAccessibleName(QStringLiteral("Results"));
    setAccessibleDescription(QStringLiteral("The results of the search or of an opened file"));
    GetReportCtrl().SetListener(this);
}

CMarovaneProView::~CMarovaneProView() {
    // No state may arrive for rows that are going.
    m_linkChecks.StopAll();
    m_linkChecks.SetTarget(nullptr);
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
    m_rowIds.clear();
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
        m_rowIds.insert(m_rowIds.begin() + inserted, m_nextRowId);
        ++m_nextRowId;
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
    case kCmdCopy:
        OnCopy();
        return true;
    case kCmdCopyAddress:
        OnCopyAddress();
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
    case kCmdShowGrids:
        ToggleStyle(kReportStyleGridLines);
        return true;
    case kCmdAlternateColors:
        ToggleStyle(kReportStyleAlternateRows);
        return true;
    case kCmdShowSummary:
        OnShowSummary();
        return true;
    case kCmdDelete:
        OnDelete();
        return true;
    case kCmdDeleteDuplicateTitles:
        OnDeleteDuplicates(UniqueResultList::KeyKind::ByTitle);
        return true;
    case kCmdDeleteDuplicateAddresses:
        OnDeleteDuplicates(UniqueResultList::KeyKind::ByAddress);
        return true;
    case kCmdValidate:
        OnValidate(false);
        return true;
    case kCmdValidateAll:
        OnValidate(true);
        return true;
    case kCmdDeleteInvalid:
        OnDeleteInvalid();
        return true;
    case kCmdRefine:
        OnRefine();
        return true;
    case kCmdFind:
        OnFind();
        return true;
    case kCmdFindNext:
        OnFindNext();
        return true;
    case kCmdSaveAddress:
        OnSaveAddress();
        return true;
    default:
        return false;
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
    return m_findDialog.data();
}

RefineDialog* CMarovaneProView::LastRefineDialog() const {
    return m_refineDialog.data();
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
    return m_linkChecks;
}

const ResultFinder& CMarovaneProView::Finder() const {
    return m_finder;
}

ResultRows CMarovaneProView::CurrentRows() const {
    ResultRows rows(m_sessionResults);
    const std::vector<int>& order = m_control.GetRowOrder();
    // The control and the list hold the same number of items; should they ever differ, the
    // cores see only the items both have.
    if (static_cast<int32_t>(order.size()) == rows.Count()) {
        rows.order.assign(order.begin(), order.end());
    }
    for (const int item : m_control.GetSelectionList()) {
        if (item >= 0 && item < rows.Count()) {
            rows.selected[static_cast<std::size_t>(item)] = true;
        }
    }
    return rows;
}

void CMarovaneProView::RemoveRows(const std::vector<int32_t>& items) {
    for (const int32_t item : items) {
        RemoveRow(item);
    }
    GetReportCtrl().update();
    PostSelectionCount();
}

void CMarovaneProView::RemoveRow(int item) {
    CReportCtrl& control = GetReportCtrl();
    control.SetItemState(control.GetRowFromItem(item), 0, kReportStateSelected);
    control.DeleteItem(item);
    // The own list follows the deletions, so it keeps holding the row's result at its item
    // index as the session list does.
    if (item < m_ownResults.Count()) {
        m_ownResults.Remove(item);
    }
    if (item >= 0 && static_cast<std::size_t>(item) < m_rowIds.size()) {
        m_rowIds.erase(m_rowIds.begin() + item);
    }
}

void CMarovaneProView::OnDelete() {
    ResultRows rows = CurrentRows();
    RemoveRows(RefineCommands::DeleteSelected(rows));
}

void CMarovaneProView::OnDeleteDuplicates(UniqueResultList::KeyKind key) {
    ResultRows rows = CurrentRows();
    RemoveRows(RefineCommands::DeleteDuplicates(rows, key, m_messages));
}

void CMarovaneProView::OnValidate(bool all) {
    CReportCtrl& control = GetReportCtrl();
    m_linkChecks.SetTarget(this);
    const int count = control.GetItemCount();
    for (int item = 0; item < count; ++item) {
        const int row = control.GetRowFromItem(item);
        const bool selected = (control.GetItemState(row) & kReportStateSelected) != 0;
        if (!all && !selected) {
            continue;
        }
        m_linkChecks.Add(control.GetItemText(item, kColumnAddress),
                         m_rowIds[static_cast<std::size_t>(item)]);
        if (all) {
            control.SetItemState(row, 0, kReportStateSelected);
        }
    }
    m_linkChecks.StartChecks();
    if (all) {
        control.update();
        PostSelectionCount();
    }
}

void CMarovaneProView::OnRowState(int32_t rowId, LinkState state) {
    const auto found = std::find(m_rowIds.begin(), m_rowIds.end(), rowId);
    if (found == m_rowIds.end()) {
        // The row went while its address was being checked.
        return;
    }
    const int item = static_cast<int>(found - m_rowIds.begin());
    CReportCtrl& control = GetReportCtrl();
    ReportItem row;
    row.mask = kReportMaskImage;
    row.item = item;
    row.subItem = kColumnState;
    row.image = static_cast<int32_t>(state);
    control.SetItem(row);
    control.SetItemState(control.GetRowFromItem(item), 0, kReportStateSelected);
    control.RedrawItem(item);
    PostSelectionCount();
}

void CMarovaneProView::OnDeleteInvalid() {
    std::vector<int32_t> removed;
    LinkCheckManager::DeleteInvalid(
        GetReportCtrl().GetItemCount(),
        [this](int32_t item) { return static_cast<LinkState>(StateOf(item)); },
        [this, &removed](int32_t item) {
            m_sessionResults.Remove(item);
            removed.push_back(item);
        });
    RemoveRows(removed);
}

void CMarovaneProView::OnFind() {
    auto* dialog = new FindDialog(this);
    dialog->SetOnFind([this](const std::string& text, uint32_t flags) {
        ResultRows rows = CurrentRows();
        ShowFound(rows, m_finder.Find(rows, text, flags));
    });
    m_findDialog = dialog;
    ShowCentred(*dialog);
}

void CMarovaneProView::OnRefine() {
    auto* dialog = new RefineDialog(this);
    // The steps run as their own commands, each on the rows the one before left: addresses
    // before titles, and validation last, on what remains.
    dialog->SetOnRefine([this](const RefineCommands::RefineChoice& choice) {
        if (choice.deleteDuplicateAddresses) {
            OnCommand(kCmdDeleteDuplicateAddresses);
        }
        if (choice.deleteDuplicateTitles) {
            OnCommand(kCmdDeleteDuplicateTitles);
        }
        if (choice.validate) {
            OnCommand(kCmdValidateAll);
        }
    });
    m_refineDialog = dialog;
    ShowCentred(*dialog);
}

void CMarovaneProView::ShowCentred(QDialog& dialog) {
    dialog.show();
    const QPoint centre = window()->geometry().center();
    dialog.move(centre - dialog.rect().center());
}

void CMarovaneProView::OnFindNext() {
    ResultRows rows = CurrentRows();
    ShowFound(rows, m_finder.FindNext(rows));
}

void CMarovaneProView::ShowFound(const ResultRows& rows, int32_t position) {
    const int32_t item = rows.ItemAt(position);
    if (item < 0) {
        return;
    }
    CReportCtrl& control = GetReportCtrl();
    control.EnsureVisible(item, true);
    control.SelectRange(position, position, kReportSelectApply);
    control.update();
    PostSelectionCount();
}

void CMarovaneProView::OnSaveAddress() {
    const int item = m_control.GetFirstSelectedItem();
    const SearchResult* result = m_sessionResults.Get(item);
    if (item < 0 || result == nullptr) {
        return;
    }
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt takes the default extension without its dot.
    dialog.setDefaultSuffix(QString::fromLatin1(InternetShortcut::kDefaultExtension.substr(1)));
    dialog.setNameFilters(DialogFilters(InternetShortcut::kFilter));
    dialog.selectFile(FromBytes(InternetShortcut::ProposeFileName(result->title.view())));
    const std::string path = m_dialogs.Run(dialog);
    if (path.empty()) {
        return;
    }
    InternetShortcut::Save(path, result->address.view(), m_messages);
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

void CMarovaneProView::OnCopy() {
    SearchResult selected;
    if (!GetSelectedResult(selected)) {
        return;
    }
    QGuiApplication::clipboard()->setText(FromBytes(CopyText(selected)));
}

void CMarovaneProView::OnCopyAddress() {
    SearchResult selected;
    if (!GetSelectedResult(selected)) {
        return;
    }
    QGuiApplication::clipboard()->setText(FromBytes(selected.address.view()));
}

void CMarovaneProView::OnSort(int subItem, int ascendingState, int descendingState) {
    bool ascending = true;
    if (m_sortState == ascendingState) {
        ascending = false;
    }
    m_sortState = ascending ? ascendingState : descendingState;
    GetReportCtrl().SortItems(subItem, ascending);
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
        ReportItem row;
        row.mask = kReportMaskPreview | kReportMaskImage;
        row.item = item;
        row.subItem = kColumnState;
        row.image = 0;
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
    DrawWrappedText(painter, area, FromBytes(result->summary.view()));
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
            const bool sort = id == kCmdSortTitle || id == kCmdSortAddress || id == kCmdSortEngine;
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
