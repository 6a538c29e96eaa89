#include "widgets/ReportTipWindow.h"

#include "widgets/ReportConstants.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// The thin border around the tip.
constexpr int kBorder = 1;

} // namespace

ReportTipWindow::ReportTipWindow(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                         Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint),
      m_owner(owner) {
    setObjectName(kWindowClassName);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ReportTipWindow::ShowTip(const QString& text, const QFont& font, const QRect& covered) {
    m_text = text;
    setFont(font);
    const int width = QFontMetrics(font).horizontalAdvance(text) + 2 * kReportCellMargin;
    m_covered = QRect(covered.topLeft(), QSize(width, covered.height()));
    setGeometry(QRect(m_owner->mapToGlobal(covered.topLeft()), m_covered.size()));
    show();
    update();
}

QRect ReportTipWindow::CoveredRect() const {
    return m_covered;
}

QString ReportTipWindow::Text() const {
    return m_text;
}

void ReportTipWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // The text starts a pixel short of the margin inside the border, which puts it exactly over
    // the cell's own text.
    const QRect textArea = rect().adjusted(kBorder + kReportCellMargin - 1, kBorder, 0, -kBorder);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}
