#include "widgets/CReportCtrl.h"

#include "platform/ProfileFile.h"
#include "widgets/AccessibleReportCtrl.h"
#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/ReportCellCodec.h"
#include "widgets/ReportColumns.h"
#include "widgets/ReportCtrlListener.h"
#include "widgets/ReportImageList.h"
#include "widgets/ReportKeyHandler.h"
#include "widgets/ReportMouseHandler.h"
#include "widgets/ReportPainter.h"
#include "widgets/ReportSelection.h"
#include "widgets/ReportSorter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleHints>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {

// Room added to the font's height (with its external leading) to make a row.
constexpr int kRowPadding = 2;
// Grid lines make every row this much taller.
constexpr int kGridLineHeight = 1;
// One notch of a mouse wheel.
constexpr int kWheelDelta = 120;
// Lines per notch when the desktop has no setting.
constexpr uint32_t kDefaultWheelLines = 3;
// More lines per notch than this are taken as this many.
constexpr uint32_t kMostWheelLines = 1000;

// The desktop's lines per wheel notch (the stand-in for the user's WheelScrollLines value).
uint32_t DesktopWheelLines() {
    const int lines = QApplication::wheelScrollLines();
    return lines > 0 ? static_cast<uint32_t>(lines) : kDefaultWheelLines;
}

// Cuts text to what a cell stores, without splitting a UTF-8 sequence at the cut.
std::string_view CutText(std::string_view text) {
    const auto limit = static_cast<std::size_t>(kReportMaxTextLength);
    if (text.size() <= limit) {
        return text;
    }
    constexpr unsigned char kContinuationMask = 0xC0;
    constexpr unsigned char kContinuation = 0x80;
    constexpr std::size_t kLongestSequence = 4;
    std::size_t cut = limit;
    std::size_t steps = 0;
    while (cut > 0 && steps < kLongestSequence &&
           (static_cast<unsigned char>(text[cut]) & kContinuationMask) == kContinuation) {
        --cut;
        ++steps;
    }
    if (steps == kLongestSequence || cut == 0) {
        cut = limit;
    }
    return text.substr(0, cut);
}

} // namespace

CReportCtrl::CReportCtrl(QWidget* parent) : QWidget(parent) {
    AccessibleReportCtrl::Install();
    setObjectName(kWindowClassName);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    m_header = new CFlatHeaderCtrl(this);
    m_header->SetListener(this);
    m_columns = std::make_unique<ReportColumns>(*m_header);
    m_selection = std::make_unique<ReportSelection>(*this, m_store);
    m_viewport = std::make_unique<ReportViewport>(*this, [this] { OnScrolled(); });
    m_mouse = std::make_unique<ReportMouseHandler>(*this);
    m_colors = ReportColors::FromPalette(palette());
    m_boldFont = font();
    m_boldFont.setWeight(QFont::Bold);
    m_wheelLines = DesktopWheelLines();
    connect(QGuiApplication::styleHints(), &QStyleHints::wheelScrollLinesChanged, this,
            [this](int) { SetWheelScrollLines(DesktopWheelLines()); });
    RecalcRowHeight();
    // The control has no window until Create().
    hide();
    Layout();
}

CReportCtrl::~CReportCtrl() {
    if (m_created) {
        DeleteAllItems();
    }
    m_header->SetListener(nullptr);
}

// --- The window ------------------------------------------------------------------------------

bool CReportCtrl::Create(uint32_t style, const QRect& rect, QWidget* parent, int controlId) {
    if (m_created) {
        return false;
    }
    if (parent != parentWidget()) {
        setParent(parent);
    }
    m_style = style & kReportStyleMask;
    m_controlId = controlId;
    m_created = true;
    setGeometry(rect);
    RecalcRowHeight();
    Layout();
    show();
    return true;
}

bool CReportCtrl::IsCreated() const {
    return m_created;
}

void CReportCtrl::DestroyWindow() {
    if (!m_created) {
        return;
    }
    DeleteAllItems();
    hide();
    m_created = false;
}

void CReportCtrl::SetListener(ReportCtrlListener* listener) {
    m_listener = listener;
}

int CReportCtrl::GetControlId() const {
    return m_controlId;
}

uint32_t CReportCtrl::GetStyle() const {
    return m_style;
}

bool CReportCtrl::ModifyStyle(uint32_t remove, uint32_t add, uint32_t /*positionFlags*/) {
    m_style = ((m_style & ~remove) | add) & kReportStyleMask;
    if ((m_style & kReportStyleCellTips) == 0) {
        HideTip();
    }
    RecalcRowHeight();
    Layout();
    return true;
}

CFlatHeaderCtrl& CReportCtrl::GetHeaderCtrl() {
    return *m_header;
}

// --- Columns ---------------------------------------------------------------------------------

int CReportCtrl::DefineSubItem(int index, const ReportSubItem& definition, bool /*update*/) {
    const int count = m_columns->Count();
    if (m_columns->Define(index, definition) < 0) {
        return -1;
    }
    // Every item keeps one cell per definition, the new ones empty.
    const int added = m_columns->Count() - count;
    for (int item = 0; item < m_store.Count(); ++item) {
        std::string& cells = m_store.Item(item).cells;
        if (index < count) {
            ReportCellCodec::InsertEmpty(cells, index);
        } else {
            cells += ReportCellCodec::EmptyCells(added);
        }
    }
    update();
    return index;
}

int CReportCtrl::GetSubItemCount() const {
    return m_columns->Count();
}

bool CReportCtrl::GetSubItem(int subItem, ReportSubItem& definition) const {
    return m_columns->Get(subItem, definition);
}

int CReportCtrl::ActivateSubItem(int subItem, int position) {
    const int index = m_columns->Activate(subItem, position);
    if (index >= 0) {
        Layout();
        NotifyAccessibleReset();
    }
    return index;
}

int CReportCtrl::DeactivateSubItem(int subItem) {
    if (!m_columns->Deactivate(subItem)) {
        return 0;
    }
    Layout();
    NotifyAccessibleReset();
    return 1;
}

bool CReportCtrl::IsSubItemActive(int subItem) const {
    return m_columns->HeaderIndex(subItem) >= 0;
}

int CReportCtrl::GetHeaderIndex(int subItem) const {
    return m_columns->HeaderIndex(subItem);
}

int CReportCtrl::SetSubItemWidth(int subItem, int width) {
    const int resized = m_columns->SetWidth(subItem, width);
    if (resized != 0) {
        Layout();
    }
    return resized;
}

bool CReportCtrl::LoadLayout(const ProfileFile& profile, std::string_view section,
                             std::string_view entry) {
    const std::optional<std::string> layout = profile.ReadValue(section, entry);
    if (!layout || layout->empty() || !m_columns->ApplyLayout(*layout)) {
        return false;
    }
    Layout();
    NotifyAccessibleReset();
    return true;
}

const std::vector<int>& CReportCtrl::GetColumnOrder() const {
    return m_columns->Order();
}

int CReportCtrl::GetColumnSubItem(int position) const {
    return m_columns->SubItemAt(position);
}

int CReportCtrl::GetTotalWidth() const {
    return m_columns->TotalWidth();
}

// --- Palette and images ----------------------------------------------------------------------

int CReportCtrl::InsertColor(int index, const QColor& colour) {
    if (index < 0) {
        return -1;
    }
    try {
        if (index < static_cast<int>(m_palette.size())) {
            m_palette.insert(m_palette.begin() + index, colour);
        } else {
            m_palette.resize(static_cast<std::size_t>(index) + 1, QColor(Qt::black));
            m_palette[static_cast<std::size_t>(index)] = colour;
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }
    update();
    return index;
}

QColor CReportCtrl::GetColor(int index) const {
    if (index < 0 || index >= static_cast<int>(m_palette.size())) {
        return {};
    }
    return m_palette[static_cast<std::size_t>(index)];
}

bool CReportCtrl::SetImageList(const ReportImageList* images) {
    if (images == nullptr) {
        m_images.reset();
    } else {
        m_images = std::make_unique<ReportImageList>(*images);
    }
    m_header->SetImageList(m_images.get());
    RecalcRowHeight();
    Layout();
    return true;
}

const ReportImageList* CReportCtrl::GetImageList() const {
    return m_images.get();
}

// --- Items -----------------------------------------------------------------------------------

int CReportCtrl::InsertItem(const ReportItem& item) {
    const int index = item.item;
    if (index < 0 || index > m_store.Count()) {
        return kReportNone;
    }
    ReportItemRecord record;
    record.cells = ReportCellCodec::EmptyCells(GetSubItemCount());
    m_store.Insert(index, std::move(record));
    m_selection->ItemInserted(index);
    SetItem(item);
    m_viewport->RefreshVertical();
    AccessibleReportCtrl::RowsChanged(*this, index, true);
    return index;
}

bool CReportCtrl::DeleteItem(int item) {
    if (!m_store.IsItem(item)) {
        return false;
    }
    ReportNotify notify;
    notify.header.code = kReportNotifyDeleteItem;
    notify.item = item;
    notify.subItem = 0;
    notify.param = m_store.Item(item).param;
    Notify(notify);
    if (!m_store.IsItem(item)) {
        return false;
    }
    const int row = m_store.RowFromItem(item);
    m_store.Remove(item);
    m_selection->RowDeleted(row);
    m_viewport->RefreshVertical();
    update();
    AccessibleReportCtrl::RowsChanged(*this, row, false);
    return true;
}

bool CReportCtrl::DeleteAllItems() {
    for (int item = 0; item < m_store.Count(); ++item) {
        ReportNotify notify;
        notify.header.code = kReportNotifyDeleteItem;
        notify.item = item;
        notify.subItem = 0;
        notify.param = m_store.Item(item).param;
        Notify(notify);
    }
    m_store.Clear();
    m_selection->AllDeleted();
    m_viewport->SetFirstRow(0);
    m_viewport->RefreshVertical();
    update();
    NotifyAccessibleReset();
    return true;
}

bool CReportCtrl::SetItem(const ReportItem& item) {
    if (!m_store.IsItem(item.item) || item.subItem < 0 || item.subItem >= GetSubItemCount()) {
        return false;
    }
    HideTip();
    ReportItemRecord& record = m_store.Item(item.item);
    ReportCellView cell;
    if (!ReportCellCodec::Read(record.cells, item.subItem, cell)) {
        return false;
    }
    std::optional<std::string> text;
    if ((item.mask & kReportMaskText) != 0) {
        if (item.text) {
            text = std::string(CutText(*item.text));
        }
    } else if (cell.hasText) {
        text = std::string(cell.text);
    }
    const int32_t textColor =
        (item.mask & kReportMaskTextColor) != 0 ? item.textColor : cell.textColor;
    const int32_t image = (item.mask & kReportMaskImage) != 0 ? item.image : cell.image;
    const int32_t check = (item.mask & kReportMaskCheck) != 0 ? item.check : cell.check;
    std::optional<std::string_view> textView;
    if (text) {
        textView = *text;
    }
    ReportCellCodec::Write(record.cells, item.subItem, image, check, textColor, textView);

    const int32_t oldPreview = record.preview;
    if ((item.mask & kReportMaskBkColor) != 0) {
        record.bkColor = item.bkColor;
    }
    if ((item.mask & kReportMaskPreview) != 0) {
        record.preview = std::max(0, item.preview);
    }
    if ((item.mask & kReportMaskParam) != 0) {
        record.param = item.param;
    }
    if ((item.mask & kReportMaskState) != 0) {
        constexpr uint32_t kKept = kReportStateFocused | kReportStateSelected;
        record.state = (item.state & ~kKept) | (record.state & kKept);
    }
    if (record.preview != oldPreview) {
        m_viewport->RefreshVertical();
    }
    RedrawItem(item.item);
    AccessibleReportCtrl::CellChanged(*this, item.item, item.subItem);
    return true;
}

bool CReportCtrl::GetItem(ReportItem& item) const {
    if (!m_store.IsItem(item.item) || item.subItem < 0 || item.subItem >= GetSubItemCount()) {
        return false;
    }
    const ReportItemRecord& record = m_store.Item(item.item);
    ReportCellView cell;
    if (!ReportCellCodec::Read(record.cells, item.subItem, cell)) {
        return false;
    }
    const bool askedForText = (item.mask & kReportMaskText) != 0 && item.textMax > 0;
    uint32_t mask = kReportMaskState | kReportMaskParam;
    if (record.preview != 0) {
        mask |= kReportMaskPreview;
    }
    if (record.bkColor >= 0) {
        mask |= kReportMaskBkColor;
    }
    item.text.reset();
    if (askedForText && cell.hasText) {
        mask |= kReportMaskText;
        item.text = std::string(cell.text.substr(0, static_cast<std::size_t>(item.textMax - 1)));
    }
    if (cell.textColor != -1) {
        mask |= kReportMaskTextColor;
    }
    if (cell.image != -1) {
        mask |= kReportMaskImage;
    }
    if (cell.check != -1) {
        mask |= kReportMaskCheck;
    }
    item.mask = mask;
    item.textColor = cell.textColor;
    item.image = cell.image;
    item.check = cell.check;
    item.bkColor = record.bkColor;
    item.preview = record.preview;
    item.state = record.state;
    item.param = record.param;
    return true;
}

bool CReportCtrl::SetItemText(int item, int subItem, std::optional<std::string_view> text) {
    ReportItem record;
    record.mask = kReportMaskText;
    record.item = item;
    record.subItem = subItem;
    if (text) {
        record.text = std::string(*text);
    }
    return SetItem(record);
}

int CReportCtrl::GetItemText(int item, int subItem, char* buffer, int size) const {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    ReportItem record;
    record.mask = kReportMaskText;
    record.item = item;
    record.subItem = subItem;
    record.textMax = size;
    if (!GetItem(record) || !record.text) {
        return 0;
    }
    std::copy(record.text->begin(), record.text->end(), buffer);
    buffer[record.text->size()] = '\0';
    return static_cast<int>(record.text->size());
}

std::string CReportCtrl::GetItemText(int item, int subItem) const {
    ReportItem record;
    record.mask = kReportMaskText;
    record.item = item;
    record.subItem = subItem;
    record.textMax = kReportTextBufferSize;
    if (!GetItem(record) || !record.text) {
        return {};
    }
    return *record.text;
}

uint32_t CReportCtrl::GetItemParam(int item) const {
    if (!m_store.IsItem(item)) {
        return 0;
    }
    return m_store.Item(item).param;
}

int CReportCtrl::GetItemCount() const {
    return m_store.Count();
}

int CReportCtrl::GetItemFromRow(int row) const {
    return m_store.ItemFromRow(row);
}

int CReportCtrl::GetRowFromItem(int item) const {
    return m_store.RowFromItem(item);
}

const std::vector<int>& CReportCtrl::GetRowOrder() const {
    return m_store.RowOrder();
}

void CReportCtrl::RedrawItem(int item) {
    const QRect row = m_viewport->RowRect(m_store.RowFromItem(item));
    if (!row.isEmpty()) {
        update(QRect(0, row.top(), m_viewport->ClientRect().width(), row.height()));
    }
}

bool CReportCtrl::EnsureVisible(int item, bool wholeRows) {
    const int row = m_store.RowFromItem(item);
    if (row < 0) {
        return false;
    }
    m_viewport->SetFirstRow(m_viewport->FirstRowShowing(row, wholeRows));
    return true;
}

int CReportCtrl::HitTest(ReportHitTest& hit) const {
    hit.flags = 0;
    hit.item = kReportNone;
    hit.subItem = -1;
    hit.row = kReportNone;
    hit.column = -1;
    hit.cellRect = QRect();
    const QRect area = GetRowArea();
    const QPoint point = hit.point;
    if (!area.contains(point)) {
        if (point.y() < area.top()) {
            hit.flags |= kReportHitAbove;
        }
        if (point.y() > area.bottom()) {
            hit.flags |= kReportHitBelow;
        }
        if (point.x() > area.right()) {
            hit.flags |= kReportHitToRight;
        }
        if (point.x() < area.left()) {
            hit.flags |= kReportHitToLeft;
        }
        return kReportNone;
    }
    int top = area.top();
    int row = m_viewport->FirstRow();
    for (; row < m_store.Count(); ++row) {
        const int height = GetRowFullHeight(row);
        if (point.y() < top + height) {
            break;
        }
        top += height;
        if (top > area.bottom()) {
            row = m_store.Count();
            break;
        }
    }
    if (row >= m_store.Count()) {
        hit.flags = kReportHitNowhere;
        return kReportNone;
    }
    hit.row = row;
    hit.item = m_store.ItemFromRow(row);
    const ReportItemRecord& record = m_store.Item(hit.item);
    if (record.preview > 0 && point.y() >= top + m_rowHeight) {
        hit.flags = kReportHitPreview;
        return hit.item;
    }
    const int x = point.x() + m_viewport->ScrollX();
    const int columns = m_header->GetItemCount();
    int column = 0;
    QRect extent;
    for (; column < columns; ++column) {
        extent = m_header->GetItemRect(column);
        if (x >= extent.left() && x < extent.left() + extent.width()) {
            break;
        }
    }
    hit.column = column;
    if (column >= columns) {
        hit.flags = kReportHitNowhere;
        return hit.item;
    }
    hit.subItem = m_columns->SubItemOfHeader(column);
    hit.cellRect = QRect(extent.left() - m_viewport->ScrollX(), top, extent.width(), m_rowHeight);
    ReportCellView cell;
    ReportCellCodec::Read(record.cells, hit.subItem, cell);
    const int imageWidth = m_images ? m_images->ImageSize().width() : 0;
    const int imageEnd = hit.cellRect.left() + kReportCellMargin + imageWidth + kReportCellMargin;
    hit.flags = cell.image != -1 && point.x() < imageEnd ? kReportHitImage : kReportHitCell;
    return hit.item;
}

int CReportCtrl::GetTextHeight(const QFont& font, std::string_view text, const QRect* rect) const {
    const int width = rect != nullptr ? rect->width() : m_columns->TotalWidth();
    const QFontMetrics metrics(font);
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    constexpr int kUnboundedHeight = 1 << 20;
    const QRect bounds = metrics.boundingRect(QRect(0, 0, std::max(1, width), kUnboundedHeight),
                                              Qt::TextWordWrap | Qt::TextExpandTabs, decoded);
    return bounds.height();
}

bool CReportCtrl::HasFocus() const {
    return m_hasFocus;
}

// --- Selection and sorting -------------------------------------------------------------------

int CReportCtrl::GetFirstSelectedItem() const {
    return m_selection->NextSelected(kReportNone);
}

int CReportCtrl::GetNextSelectedItem(int item) const {
    return m_selection->NextSelected(item);
}

const std::vector<int>& CReportCtrl::GetSelectionList() const {
    return m_store.SelectionList();
}

void CReportCtrl::SelectItem(int item, bool keepOthers) {
    const int row = m_store.RowFromItem(item);
    if (row < 0) {
        return;
    }
    SelectRange(row, row, kReportSelectApply | (keepOthers ? kReportSelectKeepOthers : 0));
}

void CReportCtrl::InvertSelection() {
    m_selection->Invert();
}

uint32_t CReportCtrl::GetItemState(int row) const {
    const int item = m_store.ItemFromRow(row);
    if (!m_store.IsItem(item)) {
        return 0;
    }
    return m_store.Item(item).state;
}

void CReportCtrl::SetItemState(int row, uint32_t state, uint32_t mask) {
    m_selection->SetState(row, state, mask);
}

void CReportCtrl::SelectRange(int first, int last, uint32_t flags) {
    m_selection->SelectRange(first, last, flags);
}

bool CReportCtrl::SortItems(int subItem, bool ascending) {
    if (subItem < 0 || subItem >= GetSubItemCount()) {
        return false;
    }
    m_header->SetSortColumn(GetHeaderIndex(subItem), ascending);
    const int count = m_store.Count();
    if (count == 0) {
        return false;
    }
    const int focusItem = m_store.ItemFromRow(m_selection->FocusRow());
    std::vector<ReportSorter::Key> keys(static_cast<std::size_t>(count));
    for (int item = 0; item < count; ++item) {
        ReportCellView cell;
        ReportCellCodec::Read(m_store.Item(item).cells, subItem, cell);
        ReportSorter::Key& key = keys[static_cast<std::size_t>(item)];
        key.hasText = cell.hasText;
        key.text = cell.text;
        key.image = cell.image;
    }
    ReportSorter::Sort(m_store.ReorderRows(), keys, ascending);
    m_selection->RowsSorted(focusItem);
    if (m_store.IsItem(focusItem)) {
        EnsureVisible(focusItem, true);
    }
    update();
    NotifyAccessibleReset();
    return true;
}

// --- Layout ----------------------------------------------------------------------------------

int CReportCtrl::GetFocusRow() const {
    return m_selection->FocusRow();
}

int CReportCtrl::GetAnchorRow() const {
    return m_selection->AnchorRow();
}

int CReportCtrl::GetFocusColumn() const {
    return m_columns->FocusColumn();
}

int CReportCtrl::GetFirstVisibleRow() const {
    return m_viewport->FirstRow();
}

int CReportCtrl::GetWholeVisibleRows() const {
    return m_viewport->WholeRowsFrom(m_viewport->FirstRow());
}

int CReportCtrl::GetRowHeight() const {
    return m_rowHeight;
}

int CReportCtrl::GetRowFullHeight(int row) const {
    const int item = m_store.ItemFromRow(row);
    if (!m_store.IsItem(item)) {
        return m_rowHeight;
    }
    return m_rowHeight + m_store.Item(item).preview;
}

int CReportCtrl::GetScrollX() const {
    return m_viewport->ScrollX();
}

QRect CReportCtrl::GetClientRect() const {
    return m_viewport->ClientRect();
}

QRect CReportCtrl::GetRowArea() const {
    return m_viewport->RowArea();
}

QRect CReportCtrl::GetRowRect(int row) const {
    return m_viewport->RowRect(row);
}

QRect CReportCtrl::GetCellRect(int row, int column) const {
    const QRect rowRect = m_viewport->RowRect(row);
    const QRect extent = m_header->GetItemRect(column);
    if (rowRect.isEmpty() || extent.isEmpty()) {
        return {};
    }
    return QRect(extent.left() - m_viewport->ScrollX(), rowRect.top(), extent.width(), m_rowHeight);
}

const QFont& CReportCtrl::GetBoldFont() const {
    return m_boldFont;
}

const ReportColors& CReportCtrl::GetColors() const {
    return m_colors;
}

uint32_t CReportCtrl::GetWheelScrollLines() const {
    return m_wheelLines;
}

void CReportCtrl::SetWheelScrollLines(uint32_t lines) {
    m_wheelLines = lines;
    m_wheelRemainder = 0;
}

void CReportCtrl::ScrollRows(ReportViewport::Command command) {
    m_viewport->SetFirstRow(m_viewport->Target(command));
}

void CReportCtrl::ScrollToX(int x) {
    m_viewport->SetScrollX(x);
}

const QWidget* CReportCtrl::GetTipWindow() const {
    return m_mouse->TipWindow();
}

void CReportCtrl::RecalcRowHeight() {
    const QFontMetrics metrics(font());
    int height = metrics.height() + std::max(0, metrics.leading()) + kRowPadding;
    if (m_images) {
        height = std::max(height, m_images->ImageSize().height());
    }
    if ((m_style & kReportStyleGridLines) != 0) {
        height += kGridLineHeight;
    }
    m_rowHeight = height;
}

void CReportCtrl::Layout() {
    m_viewport->Layout(m_header->sizeHint().height(), m_columns->TotalWidth());
    OnScrolled();
}

void CReportCtrl::OnScrolled() {
    const QRect client = m_viewport->ClientRect();
    m_header->setGeometry(-m_viewport->ScrollX(), 0,
                          std::max(m_columns->TotalWidth(), client.width()),
                          m_header->sizeHint().height());
    HideTip();
    update();
}

void CReportCtrl::HideTip() {
    m_mouse->HideTip();
}

void CReportCtrl::RedrawRows(int first, int last) {
    const int visibleFirst = std::max(first, m_viewport->FirstRow());
    const int visibleLast = std::min(last, m_viewport->LastVisibleRow());
    if (visibleFirst > visibleLast) {
        return;
    }
    const QRect top = m_viewport->RowRect(visibleFirst);
    const QRect bottom = m_viewport->RowRect(visibleLast);
    if (top.isEmpty() || bottom.isEmpty()) {
        return;
    }
    update(QRect(0, top.top(), m_viewport->ClientRect().width(), bottom.bottom() - top.top() + 1));
}

void CReportCtrl::SetAnchorRow(int row) {
    m_selection->SetAnchorRow(row);
}

void CReportCtrl::SetFocusColumn(int position) {
    m_columns->SetFocusColumn(position);
}

void CReportCtrl::ScrollColumnIntoView(int position) {
    const std::vector<int>& order = GetColumnOrder();
    if (position < 0 || position >= static_cast<int>(order.size())) {
        ScrollToX(0);
        return;
    }
    const QRect column = m_header->GetItemRect(order[static_cast<std::size_t>(position)]);
    const int clientWidth = m_viewport->ClientRect().width();
    const int scrollX = m_viewport->ScrollX();
    if (column.left() < scrollX) {
        ScrollToX(column.left());
    } else if (column.left() + column.width() > scrollX + clientWidth) {
        ScrollToX(std::min(column.left(), column.left() + column.width() - clientWidth));
    }
}

int CReportCtrl::NeededCellWidth(int item, int subItem) const {
    ReportCellView cell;
    const ReportItemRecord& record = m_store.Item(item);
    if (!ReportCellCodec::Read(record.cells, subItem, cell)) {
        return 0;
    }
    int width = kReportCellMargin;
    if (cell.image != -1 && m_images) {
        width += m_images->ImageSize().width() + kReportCellMargin;
    }
    if (cell.hasText) {
        const bool bold = (record.state & kReportStateBold) != 0;
        const QFontMetrics metrics(bold ? m_boldFont : font());
        const QString text =
            QString::fromUtf8(cell.text.data(), static_cast<qsizetype>(cell.text.size()));
        width += kReportCellMargin + metrics.horizontalAdvance(text);
    }
    return width;
}

// --- Header events ---------------------------------------------------------------------------

void CReportCtrl::OnHeaderItemClick(CFlatHeaderCtrl& header, int item) {
    const int subItem = m_columns->SubItemOfHeader(item);
    if (NotifyColumn(kReportNotifyColumnClick, subItem) != 0) {
        return;
    }
    bool ascending = true;
    const int sortColumn = header.GetSortColumn(&ascending);
    SortItems(subItem, sortColumn == item ? !ascending : true);
}

bool CReportCtrl::OnHeaderBeginDrag(CFlatHeaderCtrl& /*header*/, int /*item*/) {
    return false;
}

int CReportCtrl::OnHeaderEndDrag(CFlatHeaderCtrl& header, int item) {
    if (header.GetDropResult() == kHeaderDropOutside &&
        (m_style & kReportStyleHideDroppedColumn) != 0) {
        DeactivateSubItem(m_columns->SubItemOfHeader(item));
        return 1;
    }
    // The header moves the column after this returns; the order is read again before the
    // next paint.
    m_columns->MarkOrderStale();
    update();
    NotifyAccessibleReset();
    return 0;
}

void CReportCtrl::OnHeaderItemChanged(CFlatHeaderCtrl& /*header*/, int item) {
    const int subItem = m_columns->TakeHeaderWidth(item);
    if (subItem < 0) {
        return;
    }
    Layout();
    ReportNotify notify;
    notify.header.code = kReportNotifyColumnChanged;
    notify.item = -1;
    notify.subItem = subItem;
    Notify(notify);
}

void CReportCtrl::OnHeaderDividerDoubleClick(CFlatHeaderCtrl& /*header*/, int item) {
    const int subItem = m_columns->SubItemOfHeader(item);
    if (NotifyColumn(kReportNotifyDividerDoubleClick, subItem) != 0) {
        return;
    }
    ReportSubItem definition;
    if (!GetSubItem(subItem, definition) || (definition.format & kReportFormatNoAutoSize) != 0 ||
        m_store.Count() == 0) {
        return;
    }
    int widest = 0;
    for (int index = 0; index < m_store.Count(); ++index) {
        widest = std::max(widest, NeededCellWidth(index, subItem));
    }
    SetSubItemWidth(subItem, widest);
}

// --- Notifications ---------------------------------------------------------------------------

int CReportCtrl::Notify(ReportNotify notify) const {
    if (m_listener == nullptr) {
        return 0;
    }
    notify.header.sender = const_cast<CReportCtrl*>(this);
    notify.header.controlId = m_controlId;
    return m_listener->OnReportNotify(notify);
}

int CReportCtrl::NotifyColumn(int code, int subItem) const {
    if (m_listener == nullptr) {
        return 0;
    }
    ReportColumnNotify notify;
    notify.header = {const_cast<CReportCtrl*>(this), m_controlId, code};
    notify.subItem = subItem;
    return m_listener->OnReportColumnNotify(notify);
}

int CReportCtrl::NotifySelection(int code, int item, uint32_t state) const {
    ReportNotify notify;
    notify.header.code = code;
    notify.item = item;
    notify.subItem = -1;
    notify.state = state;
    notify.param = 0;
    return Notify(notify);
}

void CReportCtrl::NotifyPreview(QPainter& painter, int item, const QRect& rect) const {
    if (m_listener == nullptr) {
        return;
    }
    const ReportItemRecord& record = m_store.Item(item);
    ReportPreviewDraw draw;
    draw.header = {const_cast<CReportCtrl*>(this), m_controlId, kReportNotifyPreviewDraw};
    draw.item = item;
    draw.state = record.state;
    draw.painter = &painter;
    draw.rect = rect;
    draw.param = record.param;
    m_listener->OnReportPreviewDraw(draw);
}

void CReportCtrl::NotifyAccessibleReset() const {
    AccessibleReportCtrl::ModelReset(*this);
}

// --- Events ----------------------------------------------------------------------------------

void CReportCtrl::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
        m_boldFont = font();
        m_boldFont.setWeight(QFont::Bold);
        m_header->setFont(font());
        RecalcRowHeight();
        Layout();
        break;
    case QEvent::PaletteChange:
        m_colors = ReportColors::FromPalette(palette());
        update();
        break;
    case QEvent::EnabledChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void CReportCtrl::resizeEvent(QResizeEvent* event) {
    Layout();
    QWidget::resizeEvent(event);
}

void CReportCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    ReportPainter(*this, painter, event->rect()).Paint();
}

void CReportCtrl::focusInEvent(QFocusEvent* event) {
    m_hasFocus = true;
    update();
    AccessibleReportCtrl::FocusChanged(*this);
    QWidget::focusInEvent(event);
}

void CReportCtrl::focusOutEvent(QFocusEvent* event) {
    m_hasFocus = false;
    update();
    QWidget::focusOutEvent(event);
}

void CReportCtrl::mousePressEvent(QMouseEvent* event) {
    m_mouse->Press(event);
}

void CReportCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    m_mouse->DoubleClick(event);
}

void CReportCtrl::mouseMoveEvent(QMouseEvent* event) {
    m_mouse->Move(event);
}

void CReportCtrl::leaveEvent(QEvent* event) {
    m_mouse->Leave();
    QWidget::leaveEvent(event);
}

void CReportCtrl::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    // Turns too small for a whole line (fine-grained wheels and touchpads) add up until they
    // make one.
    const bool pages = m_wheelLines == kWheelPageScroll;
    const int perNotch = pages ? 1 : static_cast<int>(std::min(m_wheelLines, kMostWheelLines));
    m_wheelRemainder += delta * perNotch;
    const int steps = m_wheelRemainder / kWheelDelta;
    m_wheelRemainder -= steps * kWheelDelta;
    if (pages) {
        const auto command =
            steps > 0 ? ReportViewport::Command::PageUp : ReportViewport::Command::PageDown;
        for (int i = 0; i < std::abs(steps); ++i) {
            ScrollRows(command);
        }
    } else {
        m_viewport->SetFirstRow(m_viewport->FirstRow() - steps);
    }
    event->accept();
}

void CReportCtrl::keyPressEvent(QKeyEvent* event) {
    if (!ReportKeyHandler::KeyDown(*this, *event)) {
        QWidget::keyPressEvent(event);
    }
}
