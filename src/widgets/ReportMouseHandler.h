#pragma once

#include "widgets/ReportRecords.h"

#include <QRect>

#include <cstdint>
#include <memory>

class CReportCtrl;
class QMouseEvent;
class QWheelEvent;
class QWidget;
class ReportTipWindow;

// The report control's mouse: clicks select rows (with Ctrl and Shift) and are reported to the
// owner first, a pointer resting on a cut-off cell shows the cell's whole text in a tip, and
// the wheel scrolls the rows by the desktop's lines (or pages) per notch.
class ReportMouseHandler {
  public:
    explicit ReportMouseHandler(CReportCtrl& control);
    ~ReportMouseHandler();

    void Press(QMouseEvent* event);
    void DoubleClick(QMouseEvent* event);
    void Move(QMouseEvent* event);
    // The pointer left the control.
    void Leave();
    void HideTip();
    // The tip window while it shows, else nullptr.
    const QWidget* TipWindow() const;
    void Wheel(QWheelEvent* event);
    // Lines scrolled per wheel notch, or CReportCtrl::kWheelPageScroll.
    uint32_t WheelLines() const;
    // Sets the lines per notch and forgets turns not yet worth a line.
    void SetWheelLines(uint32_t lines);

  private:
    enum class State {
        Idle,     // no tip shows
        TipShown, // a tip covers a cut-off cell until the pointer leaves the cell's area
    };

    void LeftButtonDown(QMouseEvent* event);
    void RightButtonDown(QMouseEvent* event);
    void OfferTip(const ReportHitTest& hit);
    // The notification record of a mouse message, with the hit test filled in.
    ReportNotify MouseNotify(int code, const QMouseEvent* event, const ReportHitTest& hit) const;
    // The anchor of a range: the anchor row when it still exists, else the focus row, else row.
    int RangeAnchor(int row) const;

    CReportCtrl& m_control;
    State m_state = State::Idle;
    std::unique_ptr<ReportTipWindow> m_tip;
    // While a tip shows: where the pointer may move without hiding it.
    QRect m_tipArea;
    uint32_t m_wheelLines = 0;
    // Wheel turns not yet worth a whole line (or page).
    int m_wheelRemainder = 0;
};
