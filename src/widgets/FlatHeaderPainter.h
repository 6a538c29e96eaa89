#pragma once

#include "widgets/FlatHeaderTypes.h"

#include <QColor>
#include <QRect>
#include <QSize>

class QFontMetrics;
class QPainter;
class QPalette;
class ReportImageList;

// The four colours of the flat look, read from the system colours.
struct FlatHeaderColors {
    QColor highlight; // 3D highlight: lit edges
    QColor shadow;    // 3D shadow: shaded edges
    QColor face;      // 3D face: the background
    QColor text;      // button text

    static FlatHeaderColors FromPalette(const QPalette& palette);
};

// Draws the parts of the flat header: a column's content (image, title, sort mark), the etched
// dividers and the raised frame. The header and its floating drag picture share it.
class FlatHeaderPainter {
  public:
    FlatHeaderPainter(QPainter& painter, const FlatHeaderColors& colors, int spacing,
                      QSize markSize, const ReportImageList* images);

    // Lays out and draws the column's image, title and, when withMark, the sort mark inside
    // columnRect narrowed by the spacing, after the column's alignment.
    void DrawContent(const QRect& columnRect, const FlatHeaderItem& item, bool withMark,
                     bool ascending) const;
    // An etched line pair at a column's right edge (exclusive), two pixels in from top and
    // bottom of a header height pixels tall.
    void DrawDivider(int rightEdge, int height) const;
    // Highlight on the top and left, shadow on the bottom and right.
    void DrawRaisedFrame(const QRect& rect) const;
    // An outlined triangle in box, pointing up for ascending, etched in highlight and shadow.
    void DrawSortMark(const QRect& box, bool ascending) const;

    // The width that fits the column's content: the spacing, plus the image width and the
    // spacing when it shows an image, plus the title's width and the spacing when it shows a
    // title.
    static int ContentWidth(const FlatHeaderItem& item, const QFontMetrics& metrics, int spacing,
                            const ReportImageList* images);

  private:
    bool HasImage(const FlatHeaderItem& item) const;

    QPainter& m_painter;
    const FlatHeaderColors& m_colors;
    int m_spacing;
    QSize m_markSize;
    const ReportImageList* m_images;
};
