#include "widgets/ReportPainter.h"

#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/CReportCtrl.h"
#include "widgets/ReportCellCodec.h"
#include "widgets/ReportImageList.h"
#include "widgets/ReportNotifier.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// Alternating rows and the control's own use of the palette take this entry.
constexpr int kAlternateColourIndex = 0;

QString Decode(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::Alignment TextAlignment(uint32_t format) {
    const uint32_t align = format & kReportFormatAlignMask;
    if (align == kReportFormatRight) {
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    if (align == kReportFormatCenter) {
        return Qt::AlignHCenter | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

ReportPainter::ReportPainter(CReportCtrl& control, QPainter& painter, const QRect& region)
    : m_control(control), m_painter(painter), m_region(region), m_focused(control.HasFocus()),
      m_grid((control.GetStyle() & kReportStyleGridLines) != 0) {
}

void ReportPainter::Paint() {
    const ReportColors& colors = m_control.GetColors();
    const QRect area = m_control.GetRowArea();
    PaintScrollBarCorner();
    m_painter.setClipRect(area.intersected(m_region));
    m_painter.fillRect(area, m_control.isEnabled() ? colors.window : colors.disabled);
    m_painter.setBackgroundMode(Qt::TransparentMode);

    const int count = m_control.GetItemCount();
    const int totalWidth = m_control.GetTotalWidth();
    const int left = -m_control.GetScrollX();
    int y = area.top();
    for (int row = m_control.GetFirstVisibleRow(); row < count && y <= area.bottom(); ++row) {
        const int height = m_control.GetRowFullHeight(row);
        if (y + height > m_region.top()) {
            PaintRow(row, QRect(left, y, totalWidth, height));
        }
        y += height;
    }
    if (m_grid && totalWidth > 0) {
        m_painter.setPen(colors.gridLine);
        m_painter.drawLine(left, area.top(), left, y - 1);
        m_painter.drawLine(left + totalWidth - 1, area.top(), left + totalWidth - 1, y - 1);
    }
}

void ReportPainter::PaintRow(int row, const QRect& rowRect) {
    const ReportColors& colors = m_control.GetColors();
    const int item = m_control.GetItemFromRow(row);
    const ReportItemRecord& record = m_control.m_store.Item(item);
    const bool highlighted = m_focused && (record.state & kReportStateSelected) != 0;

    QColor background = colors.window;
    const QColor alternate = m_control.GetColor(kAlternateColourIndex);
    if ((m_control.GetStyle() & kReportStyleAlternateRows) != 0 && row % 2 == 1 &&
        alternate.isValid()) {
        background = alternate;
    }
    const QColor own = m_control.GetColor(record.bkColor);
    if (record.bkColor >= 0 && own.isValid()) {
        background = own;
    }
    if (highlighted) {
        background = colors.highlight;
    }
    m_painter.fillRect(rowRect, background);

    const bool bold = (record.state & kReportStateBold) != 0;
    m_painter.setFont(bold ? m_control.GetBoldFont() : m_control.font());
    const CFlatHeaderCtrl& header = m_control.GetHeaderCtrl();
    const std::vector<int>& order = m_control.GetColumnOrder();
    const int rowHeight = m_control.GetRowHeight();
    int x = rowRect.left();
    for (std::size_t position = 0; position < order.size(); ++position) {
        const int width = header.GetItemRect(order[position]).width();
        const QRect cell(x, rowRect.top(), width, rowHeight);
        x += width;
        if (cell.right() < m_region.left()) {
            continue;
        }
        if (cell.left() > m_region.right()) {
            break;
        }
        PaintCell(cell, record, m_control.GetColumnSubItem(static_cast<int>(position)),
                  highlighted);
    }

    if (record.preview > 0) {
        const QRect preview(rowRect.left(), rowRect.top() + rowHeight, rowRect.width(),
                            record.preview);
        m_painter.save();
        // The owner paints in the control's own font, whatever the row's cells used.
        m_painter.setFont(m_control.font());
        m_control.m_notifier->NotifyPreview(m_painter, item, preview);
        m_painter.restore();
    }
    if (m_grid) {
        m_painter.setPen(colors.gridLine);
        m_painter.drawLine(rowRect.left(), rowRect.bottom(), rowRect.right(), rowRect.bottom());
    }
    if (m_focused && row == m_control.GetFocusRow()) {
        PaintFocusRect(m_grid ? rowRect.adjusted(1, 0, -1, -1) : rowRect);
    }
}

void ReportPainter::PaintCell(const QRect& cell, const ReportItemRecord& record, int subItem,
                              bool highlighted) {
    ReportCellView view;
    if (!ReportCellCodec::Read(record.cells, subItem, view)) {
        return;
    }
    const QRect content = cell.adjusted(kReportCellMargin, 0, -kReportCellMargin, 0);
    const ReportImageList* images = m_control.GetImageList();
    const QSize imageSize = images != nullptr ? images->ImageSize() : QSize();
    ReportSubItem definition;
    m_control.GetSubItem(subItem, definition);
    int left = content.left();
    const int right = content.right() + 1;
    if (view.image >= 0 && images != nullptr) {
        if (right - left <= 0) {
            return;
        }
        const QRect imageRect(left, cell.top() + (cell.height() - imageSize.height()) / 2,
                              imageSize.width(), imageSize.height());
        m_painter.save();
        m_painter.setClipRect(imageRect.intersected(content), Qt::IntersectClip);
        images->Draw(m_painter, view.image, imageRect.topLeft());
        m_painter.restore();
        left += imageSize.width() + kReportCellMargin;
    } else if ((definition.format & kReportFormatReserveImage) != 0 && images != nullptr) {
        left += imageSize.width() + kReportCellMargin;
    }
    if (!view.hasText || right - left <= 0) {
        return;
    }
    QColor colour = m_control.GetColors().windowText;
    const QColor own = m_control.GetColor(view.textColor);
    if (view.textColor >= 0 && own.isValid()) {
        colour = own;
    }
    if (highlighted) {
        colour = m_control.GetColors().highlightText;
    }
    const QRect textRect(left, cell.top(), right - left, cell.height());
    const QString text =
        m_painter.fontMetrics().elidedText(Decode(view.text), Qt::ElideRight, textRect.width());
    m_painter.setPen(colour);
    m_painter.drawText(
        textRect, static_cast<int>(TextAlignment(definition.format)) | Qt::TextSingleLine, text);
}

void ReportPainter::PaintFocusRect(const QRect& rect) {
    // Dots of the text colour on the window colour, every other pixel.
    const QRect outline = rect.adjusted(0, 0, -1, -1);
    m_painter.setPen(m_control.GetColors().window);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(outline);
    QPen dots(m_control.GetColors().windowText);
    dots.setDashPattern({1, 1});
    m_painter.setPen(dots);
    m_painter.drawRect(outline);
}

void ReportPainter::PaintScrollBarCorner() {
    const QRect client = m_control.GetClientRect();
    const QRect corner(client.right() + 1, client.bottom() + 1, m_control.width() - client.width(),
                       m_control.height() - client.height());
    if (corner.width() > 0 && corner.height() > 0) {
        m_painter.fillRect(corner, m_control.palette().color(QPalette::Button));
    }
}
