#pragma once

#include <QIcon>
#include <QPixmap>

#include <vector>

// The program's own pictures, SVG files compiled into the program (src/app/pictures):
// the tool bar's buttons, the Search button's two glyphs, the results' state icons and the
// program icon. The category icons are in CategoryPictures.
class AppPictures {
  public:
    // Tool bar pictures are this many pixels square.
    static constexpr int kToolBarPictureSize = 20;
    // The glyph at the left of the Search button's face is this many pixels square.
    static constexpr int kSearchGlyphSize = 16;
    // State icons are this many pixels square.
    static constexpr int kStateIconSize = 16;
    // State icons: not validated, valid, invalid, unknown, and a spare one for "checking".
    static constexpr int kStateIconCount = 5;

    // The picture of a tool bar command; a null pixmap for a command without one.
    static QPixmap ToolBarPicture(int commandId);
    // The Search button's glyph for its picture state (1 idle: a magnifier, 2 searching: a
    // stop sign), drawn for a screen of devicePixelRatio. The button writes its caption itself.
    static QPixmap SearchButtonGlyph(int pictureState, qreal devicePixelRatio);
    // The state icons in order.
    static std::vector<QPixmap> StateIcons();
    // The window and desktop icon, in the usual sizes.
    static QIcon ProgramIcon();
    // The program icon drawn at one size.
    static QPixmap ProgramPicture(int size);
};
