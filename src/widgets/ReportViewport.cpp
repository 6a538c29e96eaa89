#include "widgets/ReportViewport.h"

#include "widgets/CReportCtrl.h"

#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// A line of horizontal scrolling is this fraction of the client width.
constexpr int kHorizontalLineDivisor = 8;
// Bars appearing take room that can make the other bar necessary; three rounds settle it.
constexpr int kLayoutRounds = 3;

} // namespace

ReportViewport::ReportViewport(CReportCtrl& control, std::function<void()> onScrolled)
    : m_control(control), m_onScrolled(std::move(onScrolled)) {
    m_vertical = new QScrollBar(Qt::Vertical, &control);
    m_horizontal = new QScrollBar(Qt::Horizontal, &control);
    for (QScrollBar* bar : {m_vertical, m_horizontal}) {
        bar->hide();
        bar->setFocusPolicy(Qt::NoFocus);
    }
    m_vertical->setSingleStep(1);
    QObject::connect(m_vertical, &QScrollBar::actionTriggered, &control,
                     [this](int action) { OnVerticalAction(action); });
    QObject::connect(m_vertical, &QScrollBar::valueChanged, &control,
                     [this](int value) { SetFirstRow(value); });
    QObject::connect(m_horizontal, &QScrollBar::actionTriggered, &control,
                     [this](int action) { OnHorizontalAction(action); });
    QObject::connect(m_horizontal, &QScrollBar::valueChanged, &control,
                     [this](int value) { SetScrollX(value); });
}

ReportViewport::~ReportViewport() {
    QObject::disconnect(m_vertical, nullptr, &m_control, nullptr);
    QObject::disconnect(m_horizontal, nullptr, &m_control, nullptr);
}

void ReportViewport::Layout(int headerHeight, int totalWidth) {
    m_headerHeight = headerHeight;
    m_totalWidth = totalWidth;
    const QSize size = m_control.size();
    const int barWidth = m_vertical->sizeHint().width();
    const int barHeight = m_horizontal->sizeHint().height();
    bool vertical = false;
    bool horizontal = false;
    for (int round = 0; round < kLayoutRounds; ++round) {
        m_client = QRect(0, 0, std::max(0, size.width() - (vertical ? barWidth : 0)),
                         std::max(0, size.height() - (horizontal ? barHeight : 0)));
        const bool needHorizontal = totalWidth > m_client.width();
        const bool needVertical = MaxFirstRow() > 0;
        if (needHorizontal == horizontal && needVertical == vertical) {
            break;
        }
        horizontal = needHorizontal;
        vertical = needVertical;
    }
    m_client = QRect(0, 0, std::max(0, size.width() - (vertical ? barWidth : 0)),
                     std::max(0, size.height() - (horizontal ? barHeight : 0)));
    m_vertical->setGeometry(m_client.width(), 0, barWidth, m_client.height());
    m_horizontal->setGeometry(0, m_client.height(), m_client.width(), barHeight);
    m_vertical->setVisible(vertical);
    m_horizontal->setVisible(horizontal);
    const int firstRow = m_firstRow;
    const int scrollX = m_scrollX;
    ApplyVerticalBar();
    ApplyHorizontalBar();
    if (firstRow != m_firstRow || scrollX != m_scrollX) {
        m_onScrolled();
    }
}

void ReportViewport::RefreshVertical() {
    // Called for every row added, so the scroll range is worked out once.
    const int last = MaxFirstRow();
    if ((last > 0) != m_vertical->isVisible()) {
        Layout(m_headerHeight, m_totalWidth);
        return;
    }
    const int firstRow = m_firstRow;
    ApplyVerticalBar(last);
    if (firstRow != m_firstRow) {
        m_onScrolled();
    }
}

QRect ReportViewport::ClientRect() const {
    return m_client;
}

QRect ReportViewport::RowArea() const {
    return QRect(0, m_headerHeight, m_client.width(),
                 std::max(0, m_client.height() - m_headerHeight));
}

int ReportViewport::FirstRow() const {
    return m_firstRow;
}

int ReportViewport::ScrollX() const {
    return m_scrollX;
}

int ReportViewport::AreaHeight() const {
    return RowArea().height();
}

int ReportViewport::MaxScrollX() const {
    return std::max(0, m_totalWidth - m_client.width());
}

int ReportViewport::HorizontalLine() const {
    return m_client.width() / kHorizontalLineDivisor;
}

int ReportViewport::MaxFirstRow() const {
    const int count = m_control.GetItemCount();
    const int area = AreaHeight();
    int sum = 0;
    int row = count - 1;
    while (row >= 0) {
        sum += m_control.GetRowFullHeight(row);
        if (sum > area) {
            break;
        }
        --row;
    }
    return std::max(0, std::min(count - 1, row + 1));
}

int ReportViewport::WholeRowsFrom(int first) const {
    const int count = m_control.GetItemCount();
    const int area = AreaHeight();
    int sum = 0;
    int rows = 0;
    for (int row = std::max(0, first); row < count; ++row) {
        sum += m_control.GetRowFullHeight(row);
        if (sum > area) {
            break;
        }
        ++rows;
    }
    return rows;
}

int ReportViewport::LastVisibleRow() const {
    const int count = m_control.GetItemCount();
    const int area = AreaHeight();
    int y = 0;
    int last = -1;
    for (int row = m_firstRow; row < count && y < area; ++row) {
        last = row;
        y += m_control.GetRowFullHeight(row);
    }
    return last;
}

int ReportViewport::Target(Command command) const {
    const int last = MaxFirstRow();
    switch (command) {
    case Command::LineUp:
        return std::max(0, m_firstRow - 1);
    case Command::LineDown:
        return std::max(m_firstRow, std::min(m_firstRow + 1, last));
    case Command::PageDown:
        return std::max(m_firstRow,
                        std::min(m_firstRow + std::max(1, WholeRowsFrom(m_firstRow)), last));
    case Command::PageUp: {
        // The page that ends at the current first row begins at page; the target is the row
        // above it.
        const int area = AreaHeight();
        int page = m_firstRow;
        int sum = m_control.GetItemCount() > 0 ? m_control.GetRowFullHeight(page) : 0;
        while (page > 0 && sum + m_control.GetRowFullHeight(page - 1) <= area) {
            --page;
            sum += m_control.GetRowFullHeight(page);
        }
        return std::max(0, page - 1);
    }
    case Command::Top:
        return 0;
    case Command::Bottom:
        return last;
    }
    return m_firstRow;
}

int ReportViewport::FirstRowShowing(int row, bool wholeRows) const {
    if (row < m_firstRow) {
        return row;
    }
    const int area = AreaHeight();
    int y = 0;
    for (int r = m_firstRow; r < row && y < area; ++r) {
        y += m_control.GetRowFullHeight(r);
    }
    const int height = m_control.GetRowFullHeight(row);
    const bool shown = wholeRows ? y + height <= area : y < area;
    if (shown) {
        return m_firstRow;
    }
    int first = row;
    if (wholeRows) {
        int sum = height;
        while (first > 0 && sum + m_control.GetRowFullHeight(first - 1) <= area) {
            --first;
            sum += m_control.GetRowFullHeight(first);
        }
        return first;
    }
    // Rows above row that still leave its top inside the area.
    int sum = 0;
    while (first > 0 && sum + m_control.GetRowFullHeight(first - 1) < area) {
        --first;
        sum += m_control.GetRowFullHeight(first);
    }
    return first;
}

QRect ReportViewport::RowRect(int row) const {
    if (row < m_firstRow || row >= m_control.GetItemCount()) {
        return {};
    }
    const QRect area = RowArea();
    // Every row is at least the plain row height, so a row that many rows down is below the
    // area without adding up the heights above it: redrawing rows added off screen stays cheap.
    const int plainHeight = m_control.GetRowHeight();
    if (plainHeight > 0 && row - m_firstRow > area.height() / plainHeight) {
        return {};
    }
    int y = area.top();
    for (int r = m_firstRow; r < row; ++r) {
        y += m_control.GetRowFullHeight(r);
        if (y > area.bottom()) {
            return {};
        }
    }
    if (y > area.bottom()) {
        return {};
    }
    return QRect(-m_scrollX, y, m_totalWidth, m_control.GetRowFullHeight(row));
}

void ReportViewport::SetFirstRow(int row) {
    row = std::clamp(row, 0, MaxFirstRow());
    if (row == m_firstRow) {
        return;
    }
    m_firstRow = row;
    ApplyVerticalBar();
    m_onScrolled();
}

void ReportViewport::SetScrollX(int x) {
    x = std::clamp(x, 0, MaxScrollX());
    if (x == m_scrollX) {
        return;
    }
    m_scrollX = x;
    ApplyHorizontalBar();
    m_onScrolled();
}

void ReportViewport::ApplyVerticalBar() {
    ApplyVerticalBar(MaxFirstRow());
}

void ReportViewport::ApplyVerticalBar(int last) {
    m_firstRow = std::clamp(m_firstRow, 0, last);
    const int page = std::max(1, WholeRowsFrom(m_firstRow));
    // Rows arrive one at a time by the thousand; the bar is touched only when it changes.
    if (m_vertical->maximum() == last && m_vertical->pageStep() == page &&
        m_vertical->value() == m_firstRow) {
        return;
    }
    const QSignalBlocker blocker(m_vertical);
    m_vertical->setRange(0, last);
    m_vertical->setPageStep(page);
    m_vertical->setValue(m_firstRow);
}

void ReportViewport::ApplyHorizontalBar() {
    m_scrollX = std::clamp(m_scrollX, 0, MaxScrollX());
    const QSignalBlocker blocker(m_horizontal);
    m_horizontal->setRange(0, MaxScrollX());
    m_horizontal->setPageStep(std::max(1, m_client.width()));
    m_horizontal->setSingleStep(std::max(1, HorizontalLine()));
    m_horizontal->setValue(m_scrollX);
}

void ReportViewport::OnVerticalAction(int action) {
    int target = m_firstRow;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        target = Target(Command::LineUp);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        target = Target(Command::LineDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        target = Target(Command::PageUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        target = Target(Command::PageDown);
        break;
    case QAbstractSlider::SliderToMinimum:
        target = Target(Command::Top);
        break;
    case QAbstractSlider::SliderToMaximum:
        target = Target(Command::Bottom);
        break;
    default:
        target = m_vertical->sliderPosition();
        break;
    }
    m_vertical->setSliderPosition(target);
}

void ReportViewport::OnHorizontalAction(int action) {
    int target = m_horizontal->sliderPosition();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        target = m_scrollX - HorizontalLine();
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        target = m_scrollX + HorizontalLine();
        break;
    case QAbstractSlider::SliderPageStepSub:
        target = m_scrollX - m_client.width();
        break;
    case QAbstractSlider::SliderPageStepAdd:
        target = m_scrollX + m_client.width();
        break;
    default:
        break;
    }
    m_horizontal->setSliderPosition(std::clamp(target, 0, MaxScrollX()));
}
