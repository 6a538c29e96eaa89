#include "widgets/ReportMouseHandler.h"

#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/CReportCtrl.h"
#include "widgets/ReportImageList.h"
#include "widgets/ReportNotifier.h"
#include "widgets/ReportTipWindow.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {

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

uint32_t KeyFlags(const QMouseEvent* event) {
    uint32_t keys = 0;
    if ((event->buttons() & Qt::LeftButton) != 0) {
        keys |= kReportKeyLeftButton;
    }
    if ((event->buttons() & Qt::RightButton) != 0) {
        keys |= kReportKeyRightButton;
    }
    if ((event->buttons() & Qt::MiddleButton) != 0) {
        keys |= kReportKeyMiddleButton;
    }
    if ((event->modifiers() & Qt::ShiftModifier) != 0) {
        keys |= kReportKeyShift;
    }
    if ((event->modifiers() & Qt::ControlModifier) != 0) {
        keys |= kReportKeyControl;
    }
    return keys;
}

QString Decode(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ReportMouseHandler::ReportMouseHandler(CReportCtrl& control)
    : m_control(control), m_wheelLines(DesktopWheelLines()) {
    QObject::connect(QGuiApplication::styleHints(), &QStyleHints::wheelScrollLinesChanged, &control,
                     [this](int) { SetWheelLines(DesktopWheelLines()); });
}

ReportMouseHandler::~ReportMouseHandler() = default;

void ReportMouseHandler::Press(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        LeftButtonDown(event);
    } else if (event->button() == Qt::RightButton) {
        RightButtonDown(event);
    }
}

void ReportMouseHandler::DoubleClick(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // A quick second right click opens the owner's menu like the first.
        RightButtonDown(event);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    ReportHitTest hit;
    hit.point = event->position().toPoint();
    m_control.HitTest(hit);
    m_control.m_notifier->Notify(MouseNotify(kReportNotifyDoubleClick, event, hit));
}

void ReportMouseHandler::LeftButtonDown(QMouseEvent* event) {
    m_control.setFocus(Qt::MouseFocusReason);
    ReportHitTest hit;
    hit.point = event->position().toPoint();
    const int item = m_control.HitTest(hit);
    if (m_control.m_notifier->Notify(MouseNotify(kReportNotifyLeftButtonDown, event, hit)) != 0) {
        return;
    }
    int position = -1;
    const CFlatHeaderCtrl& header = m_control.GetHeaderCtrl();
    if (hit.column >= 0 && hit.column < header.GetItemCount()) {
        ReportSubItem definition;
        m_control.GetSubItem(hit.subItem, definition);
        if ((definition.format & kReportFormatNoFocus) == 0) {
            position = header.IndexToOrder(hit.column);
        }
    }
    m_control.SetFocusColumn(position);
    if (item < 0) {
        return;
    }
    const int row = hit.row;
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    if (!control && !shift) {
        m_control.SelectRange(row, row, kReportSelectApply | kReportSelectNotify);
        m_control.SetAnchorRow(row);
    } else if (control && !shift) {
        m_control.SelectRange(row, row,
                              kReportSelectApply | kReportSelectKeepOthers | kReportSelectToggle |
                                  kReportSelectNotify);
        m_control.SetAnchorRow(row);
    } else if (shift && !control) {
        // The focus goes to the anchor and the anchor stays, so that the next Shift+click
        // spans from the same row.
        const int anchor = RangeAnchor(row);
        m_control.SelectRange(anchor, row, kReportSelectApply | kReportSelectNotify);
        m_control.SetAnchorRow(anchor);
    } else {
        m_control.SelectRange(RangeAnchor(row), row,
                              kReportSelectApply | kReportSelectKeepOthers | kReportSelectNotify);
        m_control.SetAnchorRow(row);
    }
}

void ReportMouseHandler::RightButtonDown(QMouseEvent* event) {
    m_control.setFocus(Qt::MouseFocusReason);
    ReportHitTest hit;
    hit.point = event->position().toPoint();
    const int item = m_control.HitTest(hit);
    if (m_control.m_notifier->Notify(MouseNotify(kReportNotifyRightButtonDown, event, hit)) != 0) {
        return;
    }
    const bool modified =
        (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != Qt::NoModifier;
    if (item < 0 || modified) {
        return;
    }
    m_control.SelectRange(hit.row, hit.row, kReportSelectApply | kReportSelectNotify);
    m_control.SetAnchorRow(hit.row);
}

void ReportMouseHandler::Move(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (m_state == State::TipShown) {
        if (m_tipArea.contains(point)) {
            return;
        }
        HideTip();
    }
    if ((m_control.GetStyle() & kReportStyleCellTips) == 0) {
        return;
    }
    const bool modified =
        (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != Qt::NoModifier;
    if (event->buttons() != Qt::NoButton || modified) {
        return;
    }
    ReportHitTest hit;
    hit.point = point;
    if (m_control.HitTest(hit) < 0 || hit.subItem < 0) {
        return;
    }
    OfferTip(hit);
}

void ReportMouseHandler::Leave() {
    HideTip();
}

void ReportMouseHandler::HideTip() {
    if (m_tip) {
        m_tip->hide();
    }
    m_state = State::Idle;
}

const QWidget* ReportMouseHandler::TipWindow() const {
    if (m_state != State::TipShown) {
        return nullptr;
    }
    return m_tip.get();
}

void ReportMouseHandler::OfferTip(const ReportHitTest& hit) {
    ReportItem cell;
    cell.mask = kReportMaskText;
    cell.item = hit.item;
    cell.subItem = hit.subItem;
    if (!m_control.GetItem(cell) || !cell.text || cell.text->empty()) {
        return;
    }
    // No tip while the program is in the background.
    const bool programHasFocus =
        QApplication::activeWindow() != nullptr || QApplication::focusWidget() != nullptr;
    if (hit.cellRect.isEmpty() || m_state == State::TipShown || !programHasFocus) {
        return;
    }
    const QFont font =
        (cell.state & kReportStateBold) != 0 ? m_control.GetBoldFont() : m_control.font();
    // The text starts after the cell's image (or the room kept for one), as it is painted, so
    // the tip shows exactly when the painted text is cut off and lies over it.
    int textOffset = 0;
    const ReportImageList* images = m_control.GetImageList();
    if (images != nullptr) {
        ReportSubItem definition;
        m_control.GetSubItem(hit.subItem, definition);
        const bool reserve = (definition.format & kReportFormatReserveImage) != 0;
        if (cell.image >= 0 || reserve) {
            textOffset = images->ImageSize().width() + kReportCellMargin;
        }
    }
    const QString text = Decode(*cell.text);
    const int textWidth = QFontMetrics(font).horizontalAdvance(text);
    const int room = hit.cellRect.width() - textOffset;
    if (textWidth + 2 * kReportCellMargin <= room) {
        return;
    }
    const QRect covered(hit.cellRect.left() + textOffset, hit.cellRect.top(), room,
                        hit.cellRect.height());
    if (!m_tip) {
        m_tip = std::make_unique<ReportTipWindow>(&m_control);
    }
    m_tip->ShowTip(text, font, covered);
    m_tipArea =
        QRect(covered.left() - 1, covered.top() - 1, covered.width() + 2, covered.height() + 1);
    m_state = State::TipShown;
}

ReportNotify ReportMouseHandler::MouseNotify(int code, const QMouseEvent* event,
                                             const ReportHitTest& hit) const {
    ReportNotify notify;
    notify.header.code = code;
    notify.keys = KeyFlags(event);
    notify.point = hit.point;
    notify.flags = hit.flags;
    notify.item = hit.item;
    notify.subItem = hit.subItem;
    notify.param = m_control.GetItemParam(hit.item);
    return notify;
}

int ReportMouseHandler::RangeAnchor(int row) const {
    const int count = m_control.GetItemCount();
    const int anchor = m_control.GetAnchorRow();
    if (anchor >= 0 && anchor < count) {
        return anchor;
    }
    const int focus = m_control.GetFocusRow();
    if (focus >= 0 && focus < count) {
        return focus;
    }
    return row;
}

void ReportMouseHandler::Wheel(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    // Turns too small for a whole line (fine-grained wheels and touchpads) add up until they
    // make one.
    const bool pages = m_wheelLines == CReportCtrl::kWheelPageScroll;
    const int perNotch = pages ? 1 : static_cast<int>(std::min(m_wheelLines, kMostWheelLines));
    m_wheelRemainder += delta * perNotch;
    const int steps = m_wheelRemainder / kWheelDelta;
    m_wheelRemainder -= steps * kWheelDelta;
    if (pages) {
        const auto command =
            steps > 0 ? ReportViewport::Command::PageUp : ReportViewport::Command::PageDown;
        for (int i = 0; i < std::abs(steps); ++i) {
            m_control.ScrollRows(command);
        }
    } else {
        m_control.m_viewport->SetFirstRow(m_control.m_viewport->FirstRow() - steps);
    }
    event->accept();
}

uint32_t ReportMouseHandler::WheelLines() const {
    return m_wheelLines;
}

void ReportMouseHandler::SetWheelLines(uint32_t lines) {
    m_wheelLines = lines;
    m_wheelRemainder = 0;
}
