#include "app/PictureFiles.h"

#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <mutex>

// The resource initializer of pictures.qrc; called by name because the resources live in a
// static library, whose unreferenced object files the linker would otherwise leave out.
static void InitPictureResources() {
    Q_INIT_RESOURCE(pictures);
}

namespace {

const QString kResourceFolder = QStringLiteral(":/pictures/");

} // namespace

QPixmap PictureFiles::Load(const QString& name, const QSize& size, qreal devicePixelRatio) {
    static std::once_flag resourcesLoaded;
    std::call_once(resourcesLoaded, InitPictureResources);

    const QString key = QStringLiteral("vantorell-picture:%1:%2x%3@%4")
                            .arg(name)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    QSvgRenderer renderer(kResourceFolder + name);
    if (!renderer.isValid()) {
        return QPixmap();
    }
    pixmap = QPixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}
