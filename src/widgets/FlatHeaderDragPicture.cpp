#include "widgets/FlatHeaderDragPicture.h"

#include <QPainter>

FlatHeaderDragPicture::FlatHeaderDragPicture(QWidget* owner, Content content)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                         Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint),
      m_content(std::move(content)) {
    setObjectName(kWindowClassName);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(owner->font());
}

void FlatHeaderDragPicture::CentreOn(const QPoint& globalPoint) {
    move(globalPoint.x() - width() / 2, globalPoint.y() - height() / 2);
}

void FlatHeaderDragPicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), m_content.colors.face);
    FlatHeaderPainter flat(painter, m_content.colors, m_content.spacing, m_content.markSize,
                           m_content.images);
    flat.DrawContent(rect(), m_content.item, m_content.withMark, m_content.ascending);
    flat.DrawRaisedFrame(rect());
}
