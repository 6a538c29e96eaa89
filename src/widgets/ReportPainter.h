#pragma once

#include <QRect>

#include <cstdint>

class CReportCtrl;
class QPainter;
struct ReportItemRecord;

// Paints the rows of a report control inside the region being painted: backgrounds (window,
// alternating, the item's own, selection while focused), cells (image, text with an ellipsis),
// the owner's previews, grid lines and the focus rectangle. The header paints itself.
class ReportPainter {
  public:
    ReportPainter(CReportCtrl& control, QPainter& painter, const QRect& region);
    void Paint();

  private:
    void PaintRow(int row, const QRect& rowRect);
    void PaintCell(const QRect& cell, const ReportItemRecord& record, int subItem,
                   bool highlighted);
    void PaintFocusRect(const QRect& rect);
    void PaintScrollBarCorner();

    CReportCtrl& m_control;
    QPainter& m_painter;
    QRect m_region;
    bool m_focused;
    bool m_grid;
};
