#include "app/CategoryPictures.h"

#include "app/PictureFiles.h"

#include <array>

namespace {

// The icons' files, in the fixed categories' order, then the added categories' one.
const std::array<const char*, CategoryPictures::kIconCount> kIconFiles = {
    "category/the-web.svg",
    "category/the-web-canada.svg",
    "category/the-web-uk.svg",
    "category/mp3.svg",
    "category/software-download.svg",
    "category/images.svg",
    "category/file-search.svg",
    "category/buy-books.svg",
    "category/buy-software.svg",
    "category/buy-hardware.svg",
    "category/newsgroups.svg",
    "category/email-addresses.svg",
    "category/phone-numbers.svg",
    "category/auctions.svg",
    "category/sports-news.svg",
    "category/hardware-reviews.svg",
    "category/cars.svg",
    "category/encyclopedias.svg",
    "category/added-category.svg",
};

} // namespace

std::vector<QPixmap> CategoryPictures::Icons() {
    std::vector<QPixmap> icons;
    for (const char* file : kIconFiles) {
        icons.push_back(PictureFiles::Load(QString::fromLatin1(file), QSize(kIconSize, kIconSize)));
    }
    return icons;
}
