#pragma once

#include <QPixmap>
#include <QSize>

#include <vector>

class QPainter;

// Pictures of one size that cells and header columns refer to by index.
class ReportImageList {
  public:
    // Appends a picture; returns its index.
    int Add(const QPixmap& image);
    // Cuts a strip of pictures, each width pixels wide, and appends them; pixels of the mask
    // colour become transparent. Returns the number of pictures added.
    int AddStrip(const QPixmap& strip, int width, const QColor& maskColour);
    int Count() const;
    // The size of picture 0, or an empty size when there is none.
    QSize ImageSize() const;
    // Draws picture index with its top-left corner at point; nothing for an unknown index.
    void Draw(QPainter& painter, int index, const QPoint& point) const;

  private:
    std::vector<QPixmap> m_images;
};
