#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// The program's pictures are SVG files under src/app/pictures, compiled into the program as
// the resource folder ":/pictures". This draws one of them at a size in pixels; drawings are
// kept in the pixmap cache, so asking again for the same picture and size costs nothing.
class PictureFiles {
  public:
    // The picture at `name` (relative to the resource folder, e.g. "state/valid.svg") drawn
    // to fill `size` (in logical pixels) for a screen of devicePixelRatio: the pixmap holds
    // that many device pixels per logical one, so it stays sharp on a 2x screen. A null pixmap
    // when there is no such picture.
    static QPixmap Load(const QString& name, const QSize& size, qreal devicePixelRatio = 1.0);
};
