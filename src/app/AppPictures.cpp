#include "app/AppPictures.h"

#include "app/AppCommands.h"
#include "app/PictureFiles.h"
#include "search/SearchSessionView.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <array>
#include <utility>

namespace {

constexpr std::array<int, 5> kProgramIconSizes = {16, 24, 32, 48, 64};

// The tool bar commands that have a picture, and its file.
const std::array<std::pair<int, const char*>, 9> kToolBarFiles = {{
    {kCmdOpen, "toolbar/open.svg"},
    {kCmdOpenNewWindow, "toolbar/open-new-window.svg"},
    {kCmdValidate, "toolbar/validate.svg"},
    {kCmdRefine, "toolbar/refine.svg"},
    {kCmdBrowse, "toolbar/browse.svg"},
    {kCmdOpenResults, "toolbar/open-results.svg"},
    {kCmdSaveResults, "toolbar/save-results.svg"},
    {kCmdDelete, "toolbar/delete.svg"},
    {kCmdOptions, "toolbar/options.svg"},
}};

// The state icons in their order.
const std::array<const char*, AppPictures::kStateIconCount> kStateFiles = {
    "state/not-validated.svg", "state/valid.svg",    "state/invalid.svg",
    "state/unknown.svg",       "state/checking.svg",
};

const char* const kSearchFaceFile = "search-button/search.svg";
const char* const kStopFaceFile = "search-button/stop.svg";
const char* const kProgramFile = "program/program.svg";

const QColor kButtonText(20, 30, 50);
constexpr int kSearchFontPixels = 11;
constexpr int kSmallestFontPixels = 7;
// The caption's box on the button face, right of the glyph.
constexpr qreal kTextLeft = 15.0;
constexpr qreal kTextRightMargin = 2.0;

} // namespace

QPixmap AppPictures::ToolBarPicture(int commandId) {
    for (const auto& [command, file] : kToolBarFiles) {
        if (command == commandId) {
            return PictureFiles::Load(QString::fromLatin1(file),
                                      QSize(kToolBarPictureSize, kToolBarPictureSize));
        }
    }
    return QPixmap();
}

QPixmap AppPictures::SearchButtonPicture(int pictureState) {
    const bool searching = pictureState == SearchSessionView::kButtonSearching;
    // A copy, so that the caption is not written into the cached face.
    QPixmap pixmap =
        PictureFiles::Load(QString::fromLatin1(searching ? kStopFaceFile : kSearchFaceFile),
                           QSize(kSearchButtonWidth, kSearchButtonHeight))
            .copy();
    const QString caption = searching ? QStringLiteral("Stop") : QStringLiteral("Search");
    // The caption is the one part of the face that is not a file: it is written in the
    // largest bold font of the desktop, up to kSearchFontPixels, in which it fits.
    const QRectF textBox(kTextLeft, 0, kSearchButtonWidth - kTextLeft - kTextRightMargin,
                         kSearchButtonHeight);
    QFont font;
    font.setBold(true);
    for (int pixels = kSearchFontPixels; pixels >= kSmallestFontPixels; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(caption) <= textBox.width()) {
            break;
        }
    }
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(kButtonText);
    painter.drawText(textBox, Qt::AlignCenter, caption);
    return pixmap;
}

std::vector<QPixmap> AppPictures::StateIcons() {
    std::vector<QPixmap> icons;
    for (const char* file : kStateFiles) {
        icons.push_back(
            PictureFiles::Load(QString::fromLatin1(file), QSize(kStateIconSize, kStateIconSize)));
    }
    return icons;
}

QPixmap AppPictures::ProgramPicture(int size) {
    return PictureFiles::Load(QString::fromLatin1(kProgramFile), QSize(size, size));
}

QIcon AppPictures::ProgramIcon() {
    QIcon icon;
    for (const int size : kProgramIconSizes) {
        icon.addPixmap(ProgramPicture(size));
    }
    return icon;
}
