#include "widgets/ReportColors.h"

#include <QPalette>

ReportColors ReportColors::FromPalette(const QPalette& palette) {
    ReportColors colors;
    colors.window = palette.color(QPalette::Active, QPalette::Base);
    colors.highlight = palette.color(QPalette::Active, QPalette::Highlight);
    colors.windowText = palette.color(QPalette::Active, QPalette::Text);
    colors.highlightText = palette.color(QPalette::Active, QPalette::HighlightedText);
    // On Linux palettes the 3D face is almost white; the midlight shade is the grey that grid
    // lines have on the classic desktop.
    colors.gridLine = palette.color(QPalette::Active, QPalette::Midlight);
    colors.disabled = palette.color(QPalette::Active, QPalette::Button);
    return colors;
}
