// The program's pictures come from SVG files compiled in as resources: a file missing from the
// resource list, a misspelt name or a file Qt Svg cannot read shows as an empty picture.

#include "app/AppCommands.h"
#include "app/AppPictures.h"
#include "app/CategoryPictures.h"
#include "search/SearchSessionView.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

namespace {

// How many pixels of a picture are not fully transparent.
int DrawnPixels(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            drawn += qAlpha(image.pixel(x, y)) != 0 ? 1 : 0;
        }
    }
    return drawn;
}

// The pictures of one set are all drawn, of their size, and no two are the same.
void ExpectDistinctPictures(const std::vector<QPixmap>& pictures, const QSize& size) {
    QSet<QByteArray> seen;
    for (size_t index = 0; index < pictures.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(pictures[index].size(), size);
        EXPECT_GT(DrawnPixels(pictures[index]), 0);
        const QImage image = pictures[index].toImage();
        seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                               static_cast<qsizetype>(image.sizeInBytes())));
    }
    EXPECT_EQ(seen.size(), static_cast<qsizetype>(pictures.size()));
}

} // namespace

TEST(Pictures, EveryPictureFileLoadsAtItsSize) {
    std::vector<QPixmap> toolBar;
    for (const int id : {kCmdOpen, kCmdOpenNewWindow, kCmdValidate, kCmdRefine, kCmdBrowse,
                         kCmdOpenResults, kCmdSaveResults, kCmdDelete, kCmdOptions}) {
        toolBar.push_back(AppPictures::ToolBarPicture(id));
    }
    ExpectDistinctPictures(
        toolBar, QSize(AppPictures::kToolBarPictureSize, AppPictures::kToolBarPictureSize));
    EXPECT_TRUE(AppPictures::ToolBarPicture(kCmdExit).isNull());

    const std::vector<QPixmap> states = AppPictures::StateIcons();
    ASSERT_EQ(states.size(), static_cast<size_t>(AppPictures::kStateIconCount));
    ExpectDistinctPictures(states, QSize(AppPictures::kStateIconSize, AppPictures::kStateIconSize));

    const std::vector<QPixmap> categories = CategoryPictures::Icons();
    ASSERT_EQ(categories.size(), static_cast<size_t>(CategoryPictures::kIconCount));
    ExpectDistinctPictures(categories,
                           QSize(CategoryPictures::kIconSize, CategoryPictures::kIconSize));

    ExpectDistinctPictures(
        {AppPictures::SearchButtonGlyph(SearchSessionView::kButtonIdle, 1.0),
         AppPictures::SearchButtonGlyph(SearchSessionView::kButtonSearching, 1.0)},
        QSize(AppPictures::kSearchGlyphSize, AppPictures::kSearchGlyphSize));
    // On a 2x screen the glyph has a device pixel for each of them, not a stretched 1x one.
    const QPixmap sharp = AppPictures::SearchButtonGlyph(SearchSessionView::kButtonIdle, 2.0);
    EXPECT_EQ(sharp.size(), QSize(2, 2) * AppPictures::kSearchGlyphSize);
    EXPECT_EQ(sharp.deviceIndependentSize(),
              QSizeF(AppPictures::kSearchGlyphSize, AppPictures::kSearchGlyphSize));
}

TEST(Pictures, ProgramIconIsDrawnAtEverySize) {
    constexpr int kAboutSize = 40;
    EXPECT_EQ(AppPictures::ProgramPicture(kAboutSize).size(), QSize(kAboutSize, kAboutSize));
    EXPECT_GT(DrawnPixels(AppPictures::ProgramPicture(kAboutSize)), 0);
    const QIcon icon = AppPictures::ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}}));
    for (const QSize& size : sizes) {
        EXPECT_GT(DrawnPixels(icon.pixmap(size)), 0) << size.width();
    }
}
