#include "widgets/CReportCtrl.h"

#include "widgets/AccessibleReportCtrl.h"
#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/ReportCellCodec.h"
#include "widgets/ReportColumns.h"
#include "widgets/ReportHeaderHandler.h"
#include "widgets/ReportHitTester.h"
#include "widgets/ReportImageList.h"
#include "widgets/ReportItemFields.h"
#include "widgets/ReportKeyHandler.h"
#include "widgets/ReportLayout.h"
#include "widgets/ReportMouseHandler.h"
#include "widgets/ReportNotifier.h"
#include "widgets/ReportPainter.h"
#include "widgets/ReportSelection.h"
#include "widgets/ReportSorter.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

// Room added to the font's height (with its external leading) to make a row.
constexpr int kRowPadding = 2;
// Grid lines make every row this much taller.
constexpr int kGridLineHeight = 1;

} // namespace

CReportCtrl::CReportCtrl(QWidget* parent) : QWidget(parent) {
    AccessibleReportCtrl::Install();
    setObjectName(kWindowClassName);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    m_header = new CFlatHeaderCtrl(this);
    m_headerHandler = std::make_unique<ReportHeaderHandler>(*this);
    m_header->SetListener(m_headerHandler.get());
    m_columns = std::make_unique<ReportColumns>(*m_header);
    m_selection = std::make_unique<ReportSelection>(*this, m_store);
    m_viewport = std::make_unique<ReportViewport>(*this, [this] { OnScrolled(); });
    m_mouse = std::make_unique<ReportMouseHandler>(*this);
    m_notifier = std::make_unique<ReportNotifier>(*this, m_store);
    m_colors = ReportColors::FromPalette(palette());
    m_boldFont = font();
    m_boldFont.setWeight(QFont::Bold);
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
    m_notifier->SetListener(listener);
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
    const std::optional<ReportLayout> layout =
        ReportLayout::Load(profile, section, entry, m_columns->Count());
    if (!layout) {
        return false;
    }
    m_columns->ApplyLayout(*layout);
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
    const int inserted = m_palette.Insert(index, colour);
    if (inserted >= 0) {
        update();
    }
    return inserted;
}

QColor CReportCtrl::GetColor(int index) const {
    return m_palette.Get(index);
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
    // A new row changes the scroll range whatever its height, so one refresh serves both.
    bool previewChanged = false;
    const bool written = WriteItem(item, previewChanged);
    m_viewport->RefreshVertical();
    if (written) {
        RedrawItem(index);
        AccessibleReportCtrl::CellChanged(*this, index, item.subItem);
    }
    AccessibleReportCtrl::RowsChanged(*this, index, true);
    return index;
}

bool CReportCtrl::DeleteItem(int item) {
    if (!m_store.IsItem(item)) {
        return false;
    }
    m_notifier->NotifyDeleteItem(item);
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
        m_notifier->NotifyDeleteItem(item);
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
    bool previewChanged = false;
    if (!WriteItem(item, previewChanged)) {
        return false;
    }
    if (previewChanged) {
        m_viewport->RefreshVertical();
    }
    RedrawItem(item.item);
    AccessibleReportCtrl::CellChanged(*this, item.item, item.subItem);
    return true;
}

bool CReportCtrl::WriteItem(const ReportItem& item, bool& previewChanged) {
    if (!IsCell(item)) {
        return false;
    }
    HideTip();
    ReportItemRecord& record = m_store.Item(item.item);
    const int32_t oldPreview = record.preview;
    if (!ReportItemFields::Write(record, item)) {
        return false;
    }
    previewChanged = record.preview != oldPreview;
    return true;
}

bool CReportCtrl::GetItem(ReportItem& item) const {
    return IsCell(item) && ReportItemFields::Read(m_store.Item(item.item), item);
}

bool CReportCtrl::SetItemText(int item, int subItem, std::optional<std::string_view> text) {
    ReportItem record = ReportItemFields::TextCell(item, subItem);
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
    ReportItem record = ReportItemFields::TextCell(item, subItem, size);
    if (!GetItem(record) || !record.text) {
        return 0;
    }
    return ReportItemFields::CopyText(*record.text, buffer);
}

std::string CReportCtrl::GetItemText(int item, int subItem) const {
    ReportItem record = ReportItemFields::TextCell(item, subItem);
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
    return ReportHitTester::Test(*this, hit);
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
    if (m_store.Count() == 0) {
        return false;
    }
    const int focusItem = m_store.ItemFromRow(m_selection->FocusRow());
    ReportSorter::SortStore(m_store, subItem, ascending);
    m_selection->RowsSorted(focusItem);
    if (m_store.IsItem(focusItem)) {
        EnsureVisible(focusItem, true);
    }
    update();
    NotifyAccessibleReset();
    return true;
}

bool CReportCtrl::OrderRows(const std::vector<int>& items) {
    std::vector<bool> seen(static_cast<std::size_t>(m_store.Count()), false);
    if (items.size() != seen.size()) {
        return false;
    }
    for (const int item : items) {
        if (!m_store.IsItem(item) || seen[static_cast<std::size_t>(item)]) {
            return false;
        }
        seen[static_cast<std::size_t>(item)] = true;
    }
    const int firstRow = m_viewport->FirstRow();
    const int focusRow = m_selection->FocusRow();
    const bool focusInView = focusRow >= firstRow && focusRow <= m_viewport->LastVisibleRow();
    const int keptRow = focusInView ? focusRow : firstRow;
    const int keptItem = m_store.ItemFromRow(keptRow);
    const int focusItem = m_store.ItemFromRow(focusRow);
    m_store.ReorderRows() = items;
    m_selection->RowsSorted(focusItem);
    if (m_store.IsItem(keptItem)) {
        m_viewport->SetFirstRow(std::max(0, m_store.RowFromItem(keptItem) - (keptRow - firstRow)));
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
    return m_mouse->WheelLines();
}

void CReportCtrl::SetWheelScrollLines(uint32_t lines) {
    m_mouse->SetWheelLines(lines);
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

bool CReportCtrl::IsCell(const ReportItem& item) const {
    return m_store.IsItem(item.item) && item.subItem >= 0 && item.subItem < GetSubItemCount();
}

// --- Assistive technology ------------------------------------------------------------------

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
    m_mouse->Wheel(event);
}

void CReportCtrl::keyPressEvent(QKeyEvent* event) {
    if (!ReportKeyHandler::KeyDown(*this, *event)) {
        QWidget::keyPressEvent(event);
    }
}
