#pragma once

#include <QColor>

class QPalette;

// The system colours the report control paints with, read when the control is made and again
// whenever the colours change.
struct ReportColors {
    QColor window;        // row background
    QColor highlight;     // background of selected rows while the control has the focus
    QColor windowText;    // cell text without a colour of its own; the focus rectangle
    QColor highlightText; // text of selected rows while the control has the focus
    QColor gridLine;      // grid lines (a light grey, the classic 3D face)
    QColor disabled;      // background of a disabled control (3D face)

    static ReportColors FromPalette(const QPalette& palette);
};
