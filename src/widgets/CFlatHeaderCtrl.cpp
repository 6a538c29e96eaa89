#include "widgets/CFlatHeaderCtrl.h"

#include "widgets/AccessibleReportCtrl.h"
#include "widgets/FlatHeaderDragPicture.h"
#include "widgets/FlatHeaderDropMarker.h"
#include "widgets/FlatHeaderListener.h"
#include "widgets/ReportImageList.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

// Initial property values: 6 pixels of spacing, an 8 by 8 sort mark, the not-allowed pointer
// outside the header, tips off.
constexpr uint32_t kDefaultSpacing = 6;
constexpr uint32_t kDefaultMarkSize = 8U | (8U << 16);
// Property 2 keeps the width in the low and the height in the high 16 bits.
constexpr uint32_t kLowWordMask = 0xFFFF;
constexpr int kHighWordShift = 16;
// The program's pointer for a column held outside the header (property 4).
constexpr uint32_t kRemoveColumnCursorId = 134;
// Half the width of the zone around a column's right edge that grabs the divider.
constexpr int kDividerGrip = 4;
// Room above and below the title; the header is as tall as its font plus this.
constexpr int kVerticalPadding = 6;
// Room above and below a header image.
constexpr int kImagePadding = 4;
// The size of the pointer picture for property 134.
constexpr int kCursorSize = 32;

QString Decode(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The pointer shown while a column that may leave the header is held outside it: a header
// column struck through in red.
QCursor MakeRemoveColumnCursor() {
    QPixmap picture(kCursorSize, kCursorSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(Qt::lightGray));
    painter.drawRect(6, 10, 20, 11);
    painter.setPen(QPen(Qt::red, 3));
    painter.drawLine(8, 6, 24, 25);
    painter.drawLine(24, 6, 8, 25);
    painter.end();
    return QCursor(picture, kCursorSize / 2, kCursorSize / 2);
}

const QCursor& RemoveColumnCursor() {
    static const QCursor cursor = MakeRemoveColumnCursor();
    return cursor;
}

} // namespace

CFlatHeaderCtrl::CFlatHeaderCtrl(QWidget* parent) : QWidget(parent) {
    AccessibleReportCtrl::Install();
    m_properties[kHeaderPropertySpacing] = kDefaultSpacing;
    m_properties[kHeaderPropertySortMarkSize] = kDefaultMarkSize;
    m_colors = FlatHeaderColors::FromPalette(palette());
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CFlatHeaderCtrl::~CFlatHeaderCtrl() = default;

void CFlatHeaderCtrl::SetListener(FlatHeaderListener* listener) {
    m_listener = listener;
}

int CFlatHeaderCtrl::InsertItem(int index, const FlatHeaderItem& item) {
    if (index < 0) {
        return -1;
    }
    const int count = GetItemCount();
    index = std::min(index, count);
    for (int& entry : m_order) {
        if (entry >= index) {
            ++entry;
        }
    }
    int order = item.order;
    if (order < 0 || order > count) {
        order = count;
    }
    m_items.insert(m_items.begin() + index, item);
    m_items[static_cast<std::size_t>(index)].width = std::max(0, item.width);
    m_extra.insert(m_extra.begin() + index, FlatHeaderItemEx{});
    m_order.insert(m_order.begin() + order, index);
    if (m_sortColumn >= index) {
        ++m_sortColumn;
    }
    updateGeometry();
    update();
    return index;
}

bool CFlatHeaderCtrl::DeleteItem(int index) {
    if (index < 0 || index >= GetItemCount()) {
        return false;
    }
    if (m_state != MouseState::Idle && m_activeItem == index) {
        CancelDrag();
    }
    m_items.erase(m_items.begin() + index);
    m_extra.erase(m_extra.begin() + index);
    m_order.erase(std::find(m_order.begin(), m_order.end(), index));
    for (int& entry : m_order) {
        if (entry > index) {
            --entry;
        }
    }
    if (m_sortColumn == index) {
        m_sortColumn = -1;
    } else if (m_sortColumn > index) {
        --m_sortColumn;
    }
    if (m_activeItem > index) {
        --m_activeItem;
    }
    m_hot = FlatHeaderHit{};
    updateGeometry();
    update();
    return true;
}

int CFlatHeaderCtrl::GetItemCount() const {
    return static_cast<int>(m_items.size());
}

bool CFlatHeaderCtrl::GetItem(int index, FlatHeaderItem& item) const {
    if (index < 0 || index >= GetItemCount()) {
        return false;
    }
    item = m_items[static_cast<std::size_t>(index)];
    item.order = IndexToOrder(index);
    return true;
}

bool CFlatHeaderCtrl::SetItemWidth(int index, int width) {
    if (index < 0 || index >= GetItemCount()) {
        return false;
    }
    width = std::max(0, width);
    FlatHeaderItem& item = m_items[static_cast<std::size_t>(index)];
    if (item.width == width) {
        return true;
    }
    item.width = width;
    updateGeometry();
    update();
    if (m_listener != nullptr) {
        m_listener->OnHeaderItemChanged(*this, index);
    }
    return true;
}

bool CFlatHeaderCtrl::SetItemParam(int index, intptr_t param) {
    if (index < 0 || index >= GetItemCount()) {
        return false;
    }
    m_items[static_cast<std::size_t>(index)].param = param;
    return true;
}

QRect CFlatHeaderCtrl::GetItemRect(int index) const {
    const int order = IndexToOrder(index);
    if (order < 0) {
        return {};
    }
    return QRect(ColumnLeft(order), 0, m_items[static_cast<std::size_t>(index)].width, height());
}

int CFlatHeaderCtrl::GetTotalWidth() const {
    int total = 0;
    for (const FlatHeaderItem& item : m_items) {
        total += item.width;
    }
    return total;
}

std::vector<int> CFlatHeaderCtrl::GetOrderArray() const {
    return m_order;
}

bool CFlatHeaderCtrl::SetOrderArray(const std::vector<int>& order) {
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (sorted[i] != static_cast<int>(i)) {
            return false;
        }
    }
    if (sorted.size() != m_items.size()) {
        return false;
    }
    m_order = order;
    update();
    return true;
}

int CFlatHeaderCtrl::OrderToIndex(int order) const {
    if (order < 0 || order >= static_cast<int>(m_order.size())) {
        return -1;
    }
    return m_order[static_cast<std::size_t>(order)];
}

int CFlatHeaderCtrl::IndexToOrder(int index) const {
    const auto found = std::find(m_order.begin(), m_order.end(), index);
    if (found == m_order.end()) {
        return -1;
    }
    return static_cast<int>(found - m_order.begin());
}

void CFlatHeaderCtrl::SetImageList(const ReportImageList* images) {
    m_images = images;
    updateGeometry();
    update();
}

bool CFlatHeaderCtrl::SetItemEx(int index, const FlatHeaderItemEx& extra) {
    if (index < 0 || index >= static_cast<int>(m_extra.size())) {
        return false;
    }
    const FlatHeaderItem& item = m_items[static_cast<std::size_t>(index)];
    int width = item.width;
    if ((extra.style & kHeaderStyleFitContent) != 0) {
        width = FlatHeaderPainter::ContentWidth(item, fontMetrics(), Spacing(), m_images);
    }
    const bool fixed = (extra.style & kHeaderStyleFixedWidth) != 0;
    if (!fixed && extra.minWidth <= extra.maxWidth) {
        width = std::clamp(width, extra.minWidth, extra.maxWidth);
    }
    if (width != item.width) {
        SetItemWidth(index, width);
    }
    m_extra[static_cast<std::size_t>(index)] = extra;
    update();
    return true;
}

bool CFlatHeaderCtrl::GetItemEx(int index, FlatHeaderItemEx& extra) const {
    if (index < 0 || index >= static_cast<int>(m_extra.size())) {
        return false;
    }
    extra = m_extra[static_cast<std::size_t>(index)];
    return true;
}

void CFlatHeaderCtrl::SetSortColumn(int index, bool ascending) {
    m_sortColumn = index;
    m_sortAscending = ascending;
    update();
}

int CFlatHeaderCtrl::GetSortColumn(bool* ascending) const {
    if (ascending != nullptr) {
        *ascending = m_sortAscending;
    }
    return m_sortColumn;
}

int CFlatHeaderCtrl::SetProperty(int number, uint32_t value) {
    if (number < kHeaderPropertyFirst || number > kHeaderPropertyLast) {
        return 0;
    }
    m_properties[static_cast<std::size_t>(number)] = value;
    update();
    return 1;
}

uint32_t CFlatHeaderCtrl::GetProperty(int number) const {
    if (number < kHeaderPropertyFirst || number > kHeaderPropertyLast) {
        return 0;
    }
    return m_properties[static_cast<std::size_t>(number)];
}

int CFlatHeaderCtrl::GetDropResult() const {
    return m_dropResult;
}

int CFlatHeaderCtrl::GetDropPosition() const {
    return m_dropPosition;
}

bool CFlatHeaderCtrl::IsDragging() const {
    return m_state == MouseState::Dragging;
}

FlatHeaderHit CFlatHeaderCtrl::HitTest(const QPoint& point) {
    m_hot = HitTestConst(point);
    return m_hot;
}

void CFlatHeaderCtrl::ClickItem(int index) {
    if (index < 0 || index >= GetItemCount() || m_listener == nullptr) {
        return;
    }
    m_listener->OnHeaderItemClick(*this, index);
}

QSize CFlatHeaderCtrl::sizeHint() const {
    int height = fontMetrics().height() + kVerticalPadding;
    if (m_images != nullptr) {
        height = std::max(height, m_images->ImageSize().height() + kImagePadding);
    }
    return QSize(GetTotalWidth(), height);
}

FlatHeaderHit CFlatHeaderCtrl::HitTestConst(const QPoint& point) const {
    FlatHeaderHit hit;
    if (point.y() < 0 || point.y() >= height()) {
        return hit;
    }
    int left = 0;
    for (int order = 0; order < static_cast<int>(m_order.size()); ++order) {
        const int index = m_order[static_cast<std::size_t>(order)];
        const int right = left + m_items[static_cast<std::size_t>(index)].width;
        const bool resizable =
            (m_extra[static_cast<std::size_t>(index)].style & kHeaderStyleFixedWidth) == 0;
        if (point.x() >= right - kDividerGrip && point.x() < right + kDividerGrip) {
            // A later divider in the same zone (a column of width 0) wins.
            hit = FlatHeaderHit{index, order, true, resizable};
        } else if (!hit.onDivider && point.x() >= left && point.x() < right) {
            hit = FlatHeaderHit{index, order, false, resizable};
        }
        left = right;
    }
    return hit;
}

int CFlatHeaderCtrl::ColumnLeft(int order) const {
    int left = 0;
    for (int i = 0; i < order && i < static_cast<int>(m_order.size()); ++i) {
        left += m_items[static_cast<std::size_t>(m_order[static_cast<std::size_t>(i)])].width;
    }
    return left;
}

QSize CFlatHeaderCtrl::MarkSize() const {
    const uint32_t size = m_properties[kHeaderPropertySortMarkSize];
    return QSize(static_cast<int>(size & kLowWordMask),
                 static_cast<int>((size >> kHighWordShift) & kLowWordMask));
}

int CFlatHeaderCtrl::Spacing() const {
    return static_cast<int>(m_properties[kHeaderPropertySpacing]);
}

bool CFlatHeaderCtrl::LimitsApply(int index) const {
    const FlatHeaderItemEx& extra = m_extra[static_cast<std::size_t>(index)];
    return extra.minWidth <= extra.maxWidth;
}

int CFlatHeaderCtrl::ClampToLimits(int index, int width) const {
    width = std::max(0, width);
    if (!LimitsApply(index)) {
        return width;
    }
    const FlatHeaderItemEx& extra = m_extra[static_cast<std::size_t>(index)];
    return std::clamp(width, extra.minWidth, extra.maxWidth);
}

bool CFlatHeaderCtrl::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const FlatHeaderHit hit = HitTest(help->pos());
    std::string tip;
    if (m_properties[kHeaderPropertyTips] != 0 && hit.item >= 0) {
        tip = m_extra[static_cast<std::size_t>(hit.item)].tip;
    }
    if (tip.empty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), Decode(tip), this, GetItemRect(hit.item));
    return true;
}

void CFlatHeaderCtrl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        m_colors = FlatHeaderColors::FromPalette(palette());
        update();
    } else if (event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}

void CFlatHeaderCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), m_colors.face);
    painter.setFont(font());
    const FlatHeaderPainter flat(painter, m_colors, Spacing(), MarkSize(), m_images);
    const bool pressed = m_state == MouseState::Pressed || m_state == MouseState::Dragging ||
                         m_state == MouseState::Refused;
    const QRect area = event->rect();
    const int count = static_cast<int>(m_order.size());
    int left = 0;
    for (int order = 0; order < count; ++order) {
        const int index = m_order[static_cast<std::size_t>(order)];
        const FlatHeaderItem& item = m_items[static_cast<std::size_t>(index)];
        const QRect column(left, 0, item.width, height());
        left += item.width;
        if (column.right() + kDividerGrip < area.left() || column.left() > area.right() + 1) {
            continue;
        }
        flat.DrawContent(column, item, index == m_sortColumn, m_sortAscending);
        if (pressed && index == m_activeItem) {
            painter.setCompositionMode(QPainter::RasterOp_NotDestination);
            painter.fillRect(column, Qt::black);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        if (order + 1 < count) {
            flat.DrawDivider(column.left() + column.width(), height());
        }
    }
    if (left > 0) {
        flat.DrawRaisedFrame(QRect(0, 0, left, height()));
    }
}

void CFlatHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_state != MouseState::Idle) {
        return;
    }
    const QPoint point = event->position().toPoint();
    const FlatHeaderHit hit = HitTest(point);
    m_pressPoint = point;
    m_pressKeys = event->modifiers();
    if (hit.item < 0) {
        return;
    }
    if (hit.onDivider) {
        if (!hit.resizable) {
            return;
        }
        m_state = MouseState::Tracking;
        m_activeItem = hit.item;
        m_trackStartX = point.x();
        m_trackStartWidth = m_items[static_cast<std::size_t>(hit.item)].width;
        return;
    }
    m_state = MouseState::Pressed;
    m_activeItem = hit.item;
    update();
}

void CFlatHeaderCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    switch (m_state) {
    case MouseState::Idle:
        UpdateHoverCursor(HitTest(point));
        return;
    case MouseState::Pressed:
        if ((point - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
            BeginDrag(point);
        }
        return;
    case MouseState::Refused:
        return;
    case MouseState::Dragging:
        UpdateDrag(point);
        return;
    case MouseState::Tracking: {
        // The width stays within the column's limits however far the pointer goes.
        const int width =
            ClampToLimits(m_activeItem, m_trackStartWidth + point.x() - m_trackStartX);
        SetItemWidth(m_activeItem, width);
        return;
    }
    }
}

void CFlatHeaderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const MouseState state = m_state;
    const int item = m_activeItem;
    switch (state) {
    case MouseState::Idle:
        return;
    case MouseState::Pressed:
        m_state = MouseState::Idle;
        m_activeItem = -1;
        update();
        ClickItem(item);
        return;
    case MouseState::Dragging:
        EndDrag();
        return;
    case MouseState::Refused:
    case MouseState::Tracking:
        m_state = MouseState::Idle;
        m_activeItem = -1;
        update();
        return;
    }
}

void CFlatHeaderCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_state != MouseState::Idle) {
        return;
    }
    const FlatHeaderHit hit = HitTest(event->position().toPoint());
    if (!hit.onDivider) {
        // A quick second click on a column is a click like the first.
        mousePressEvent(event);
        return;
    }
    if (hit.resizable && m_listener != nullptr) {
        m_listener->OnHeaderDividerDoubleClick(*this, hit.item);
    }
}

void CFlatHeaderCtrl::BeginDrag(const QPoint& point) {
    if (m_listener != nullptr && m_listener->OnHeaderBeginDrag(*this, m_activeItem)) {
        m_state = MouseState::Refused;
        return;
    }
    m_state = MouseState::Dragging;
    FlatHeaderDragPicture::Content content;
    content.item = m_items[static_cast<std::size_t>(m_activeItem)];
    content.colors = m_colors;
    content.spacing = Spacing();
    content.markSize = MarkSize();
    content.images = m_images;
    content.withMark = m_activeItem == m_sortColumn;
    content.ascending = m_sortAscending;
    m_picture = std::make_unique<FlatHeaderDragPicture>(this, std::move(content));
    const QRect column = GetItemRect(m_activeItem);
    m_picture->setGeometry(QRect(mapToGlobal(column.topLeft()), column.size()));
    m_picture->show();
    m_dropPosition = -1;
    UpdateDrag(point);
}

void CFlatHeaderCtrl::UpdateDrag(const QPoint& point) {
    m_picture->CentreOn(mapToGlobal(point));
    const int ownOrder = IndexToOrder(m_activeItem);
    const int count = GetItemCount();
    int position = -1;
    if (rect().contains(point)) {
        m_dropState = kHeaderDropOverHeader;
        setCursor(Qt::ArrowCursor);
        const FlatHeaderHit hit = HitTestConst(point);
        // Right of the last column the column would go last.
        position = count;
        if (hit.item >= 0) {
            const QRect column = GetItemRect(hit.item);
            const bool rightHalf = point.x() > column.left() + column.width() / 2;
            position = hit.order + (rightHalf ? 1 : 0);
        }
    } else if ((m_extra[static_cast<std::size_t>(m_activeItem)].style & kHeaderStyleStayInHeader) !=
               0) {
        m_dropState = kHeaderDropNotAllowed;
        setCursor(Qt::ForbiddenCursor);
    } else {
        m_dropState = kHeaderDropOutside;
        setCursor(OutsideCursor());
    }
    if (position == ownOrder || position == ownOrder + 1) {
        position = -1;
    }
    SetDropPosition(position);
}

void CFlatHeaderCtrl::SetDropPosition(int position) {
    if (position == m_dropPosition) {
        return;
    }
    m_dropPosition = position;
    const int count = GetItemCount();
    if (position < 0 || position > count) {
        if (m_marker) {
            m_marker->hide();
        }
        return;
    }
    if (!m_marker) {
        m_marker = std::make_unique<FlatHeaderDropMarker>(this, height());
    }
    int divider = ColumnLeft(position);
    if (position == count) {
        divider = GetTotalWidth();
    }
    const QPoint global = mapToGlobal(QPoint(divider, height() / 2));
    m_marker->PlaceAt(global.x(), global.y());
    m_marker->show();
}

void CFlatHeaderCtrl::EndDrag() {
    const int item = m_activeItem;
    const int position = m_dropPosition;
    m_dropResult = m_dropState;
    CancelDrag();
    if (m_listener != nullptr && m_listener->OnHeaderEndDrag(*this, item) != 0) {
        return;
    }
    // The listener may have removed the column; only a column still there moves.
    if (position >= 0 && item < GetItemCount()) {
        MoveColumn(item, position);
    }
}

void CFlatHeaderCtrl::CancelDrag() {
    m_picture.reset();
    m_marker.reset();
    m_dropPosition = -1;
    m_state = MouseState::Idle;
    m_activeItem = -1;
    unsetCursor();
    update();
}

void CFlatHeaderCtrl::MoveColumn(int index, int position) {
    const int from = IndexToOrder(index);
    if (from < 0) {
        return;
    }
    m_order.erase(m_order.begin() + from);
    if (position > from) {
        --position;
    }
    position = std::clamp(position, 0, static_cast<int>(m_order.size()));
    m_order.insert(m_order.begin() + position, index);
    update();
}

void CFlatHeaderCtrl::UpdateHoverCursor(const FlatHeaderHit& hit) {
    if (hit.onDivider && hit.resizable) {
        setCursor(Qt::SplitHCursor);
        return;
    }
    unsetCursor();
}

QCursor CFlatHeaderCtrl::OutsideCursor() const {
    if (m_properties[kHeaderPropertyDragCursor] == kRemoveColumnCursorId) {
        return RemoveColumnCursor();
    }
    return QCursor(Qt::ForbiddenCursor);
}
