#pragma once

#include "widgets/ReportRecords.h"

#include <QRect>

#include <memory>

class CReportCtrl;
class QMouseEvent;
class QWidget;
class ReportTipWindow;

// The report control's mouse: clicks select rows (with Ctrl and Shift) and are reported to the
// owner first, and a pointer resting on a cut-off cell shows the cell's whole text in a tip.
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
};
