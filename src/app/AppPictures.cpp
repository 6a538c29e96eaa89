#include "app/AppPictures.h"

#include "app/AppCommands.h"
#include "app/PictureFiles.h"
#include "search/SearchSessionView.h"

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

const char* const kSearchGlyphFile = "search-button/search.svg";
const char* const kStopGlyphFile = "search-button/stop.svg";
const char* const kProgramFile = "program/program.svg";

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

QPixmap AppPictures::SearchButtonGlyph(int pictureState, qreal devicePixelRatio) {
    const bool searching = pictureState == SearchSessionView::kButtonSearching;
    return PictureFiles::Load(QString::fromLatin1(searching ? kStopGlyphFile : kSearchGlyphFile),
                              QSize(kSearchGlyphSize, kSearchGlyphSize), devicePixelRatio);
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
