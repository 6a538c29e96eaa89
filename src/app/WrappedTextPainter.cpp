#include "app/WrappedTextPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include <vector>

void WrappedTextPainter::Draw(QPainter& painter, const QRect& area, const QString& text) {
    if (area.width() <= 0 || area.height() <= 0) {
        return;
    }
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextLayout layout(text, painter.font());
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    bool cut = false;
    std::vector<QTextLine> lines;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(area.width());
        if (y + line.height() > area.height()) {
            cut = true;
            break;
        }
        line.setPosition(QPointF(0, y));
        y += line.height();
        lines.push_back(line);
    }
    layout.endLayout();
    if (lines.empty()) {
        return;
    }
    const QFontMetrics metrics(painter.font());
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const QTextLine& line = lines[index];
        const bool last = index + 1 == lines.size();
        if (last && cut) {
            const QString rest = text.mid(line.textStart()).simplified();
            const QString elided = metrics.elidedText(rest, Qt::ElideRight, area.width());
            painter.drawText(QPointF(area.left(), area.top() + line.y() + line.ascent()), elided);
            break;
        }
        line.draw(&painter, area.topLeft());
    }
}
