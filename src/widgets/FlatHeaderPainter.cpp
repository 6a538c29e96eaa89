#include "widgets/FlatHeaderPainter.h"

#include "widgets/ReportImageList.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace {

// Dividers stop this far from the header's top and bottom.
constexpr int kDividerInset = 2;

QString Decode(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

FlatHeaderColors FlatHeaderColors::FromPalette(const QPalette& palette) {
    FlatHeaderColors colors;
    colors.highlight = palette.color(QPalette::Light);
    colors.shadow = palette.color(QPalette::Dark);
    colors.face = palette.color(QPalette::Button);
    colors.text = palette.color(QPalette::ButtonText);
    return colors;
}

FlatHeaderPainter::FlatHeaderPainter(QPainter& painter, const FlatHeaderColors& colors, int spacing,
                                     QSize markSize, const ReportImageList* images)
    : m_painter(painter), m_colors(colors), m_spacing(spacing), m_markSize(markSize),
      m_images(images) {
}

bool FlatHeaderPainter::HasImage(const FlatHeaderItem& item) const {
    if ((item.format & kHeaderFormatImage) == 0 || m_images == nullptr) {
        return false;
    }
    return item.image >= 0 && item.image < m_images->Count();
}

void FlatHeaderPainter::DrawContent(const QRect& columnRect, const FlatHeaderItem& item,
                                    bool withMark, bool ascending) const {
    const QRect area = columnRect.adjusted(m_spacing, 0, -m_spacing, 0);
    if (area.width() <= 0) {
        return;
    }
    int left = area.left();
    const int right = area.right() + 1;
    if (HasImage(item)) {
        const QSize imageSize = m_images->ImageSize();
        if (right - left < imageSize.width()) {
            return;
        }
        const int top = area.top() + (area.height() - imageSize.height()) / 2;
        m_images->Draw(m_painter, item.image, QPoint(left, top));
        left += imageSize.width() + m_spacing;
    }

    const int markRoom = withMark ? m_markSize.width() + m_spacing : 0;
    const uint32_t align = item.format & kHeaderFormatAlignMask;
    QRect titleRect(left, area.top(), right - left - markRoom, area.height());
    if (align == kHeaderFormatRight) {
        titleRect.moveLeft(left + markRoom);
    }
    int titleWidth = 0;
    if ((item.format & kHeaderFormatText) != 0 && titleRect.width() > 0) {
        const QFontMetrics metrics = m_painter.fontMetrics();
        const QString title =
            metrics.elidedText(Decode(item.text), Qt::ElideRight, titleRect.width());
        titleWidth = metrics.horizontalAdvance(title);
        Qt::Alignment flags = Qt::AlignVCenter | Qt::AlignLeft;
        if (align == kHeaderFormatRight) {
            flags = Qt::AlignVCenter | Qt::AlignRight;
        } else if (align == kHeaderFormatCenter) {
            flags = Qt::AlignVCenter | Qt::AlignHCenter;
        }
        m_painter.setPen(m_colors.text);
        m_painter.drawText(titleRect, static_cast<int>(flags) | Qt::TextSingleLine, title);
    }
    if (!withMark) {
        return;
    }
    const int titleGap = titleWidth > 0 ? m_spacing : 0;
    int markLeft = left + titleWidth + titleGap;
    if (align == kHeaderFormatRight) {
        markLeft = right - titleWidth - titleGap - m_markSize.width();
    } else if (align == kHeaderFormatCenter) {
        markLeft = right - m_markSize.width();
    }
    if (markLeft < left || right - markLeft < m_markSize.width()) {
        return;
    }
    const int markTop = area.top() + (area.height() - m_markSize.height()) / 2;
    DrawSortMark(QRect(QPoint(markLeft, markTop), m_markSize), ascending);
}

void FlatHeaderPainter::DrawDivider(int rightEdge, int height) const {
    const int top = kDividerInset;
    const int bottom = height - 1 - kDividerInset;
    m_painter.setPen(m_colors.shadow);
    m_painter.drawLine(rightEdge - 1, top, rightEdge - 1, bottom);
    m_painter.setPen(m_colors.highlight);
    m_painter.drawLine(rightEdge, top, rightEdge, bottom);
}

void FlatHeaderPainter::DrawRaisedFrame(const QRect& rect) const {
    m_painter.setPen(m_colors.highlight);
    m_painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    m_painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
    m_painter.setPen(m_colors.shadow);
    m_painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    m_painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
}

void FlatHeaderPainter::DrawSortMark(const QRect& box, bool ascending) const {
    // The lit edges go first, so that the corners they share with shaded edges stay shaded.
    const int middle = box.left() + box.width() / 2;
    if (ascending) {
        // Apex at the top: the right slope and the base are lit, the left slope is in shadow.
        m_painter.setPen(m_colors.highlight);
        m_painter.drawLine(middle, box.top(), box.right(), box.bottom());
        m_painter.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
        m_painter.setPen(m_colors.shadow);
        m_painter.drawLine(middle, box.top(), box.left(), box.bottom());
        return;
    }
    // Apex at the bottom: the right slope is lit, the top edge and the left slope are in shadow.
    m_painter.setPen(m_colors.highlight);
    m_painter.drawLine(box.right(), box.top(), middle, box.bottom());
    m_painter.setPen(m_colors.shadow);
    m_painter.drawLine(box.left(), box.top(), box.right(), box.top());
    m_painter.drawLine(box.left(), box.top(), middle, box.bottom());
}

int FlatHeaderPainter::ContentWidth(const FlatHeaderItem& item, const QFontMetrics& metrics,
                                    int spacing, const ReportImageList* images) {
    int width = spacing;
    if ((item.format & kHeaderFormatImage) != 0 && images != nullptr) {
        width += images->ImageSize().width() + spacing;
    }
    if ((item.format & kHeaderFormatText) != 0) {
        width += metrics.horizontalAdvance(Decode(item.text)) + spacing;
    }
    return width;
}
