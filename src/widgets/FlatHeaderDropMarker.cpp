#include "widgets/FlatHeaderDropMarker.h"

#include <QPainter>
#include <QPolygon>
#include <QRegion>

FlatHeaderDropMarker::FlatHeaderDropMarker(QWidget* owner, int headerHeight)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                         Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint) {
    setObjectName(kWindowClassName);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const int height = headerHeight + kExtraHeight;
    resize(kWidth, height);
    // The arrow at the top points down into the header, the one at the bottom points up.
    const QPolygon down({{8, 0}, {8, 4}, {11, 4}, {6, 9}, {1, 4}, {4, 4}, {4, 0}});
    const QPolygon up({{4, height},
                       {4, height - 4},
                       {0, height - 4},
                       {6, height - 10},
                       {12, height - 4},
                       {8, height - 4},
                       {8, height}});
    setMask(QRegion(down).united(QRegion(up)));
}

void FlatHeaderDropMarker::PlaceAt(int globalX, int globalMiddleY) {
    move(globalX - width() / 2, globalMiddleY - height() / 2);
}

void FlatHeaderDropMarker::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::red);
}
