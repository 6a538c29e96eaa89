#include "widgets/ReportColors.h"

#include <QPalette>

ReportColors ReportColors::FromPalette(const QPalette& palette) {
    ReportColors colors;
    colors.window = palette.color(QPalette::Active, QPalette::Base);
    colors.highlight = palette.color(QPalette::Active, QPalette::Highlight);
    colors.windowText = palette.color(QPalette::Active, QPalette::Text);
    colors.highlightText = palette.color(QPalette::Active, QPalette::HighlightedText);
    colors.gridLine = palette.color(QPalette::Active, QPalette::Button);
    colors.disabled = palette.color(QPalette::Active, QPalette::Button);
    return colors;
}
