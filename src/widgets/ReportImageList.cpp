#include "widgets/ReportImageList.h"

#include <QBitmap>
#include <QPainter>

int ReportImageList::Add(const QPixmap& image) {
    m_images.push_back(image);
    return Count() - 1;
}

int ReportImageList::AddStrip(const QPixmap& strip, int width, const QColor& maskColour) {
    if (width <= 0) {
        return 0;
    }
    int added = 0;
    for (int x = 0; x + width <= strip.width(); x += width) {
        QPixmap image = strip.copy(x, 0, width, strip.height());
        image.setMask(image.createMaskFromColor(maskColour, Qt::MaskInColor));
        m_images.push_back(image);
        ++added;
    }
    return added;
}

int ReportImageList::Count() const {
    return static_cast<int>(m_images.size());
}

QSize ReportImageList::ImageSize() const {
    if (m_images.empty()) {
        return {};
    }
    return m_images.front().size();
}

void ReportImageList::Draw(QPainter& painter, int index, const QPoint& point) const {
    if (index < 0 || index >= Count()) {
        return;
    }
    painter.drawPixmap(point, m_images[static_cast<std::size_t>(index)]);
}
