#pragma once

#include <QRect>
#include <QString>

class QPainter;

// Paints a text word-wrapped into an area in the painter's font and pen, as the results view
// paints a result's summary under its row.
class WrappedTextPainter {
  public:
    // Draws text into area, breaking lines at word boundaries (or anywhere in a word longer
    // than the width); when it does not fit, the last line that fits ends in an ellipsis.
    static void Draw(QPainter& painter, const QRect& area, const QString& text);
};
