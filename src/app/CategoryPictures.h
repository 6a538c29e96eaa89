#pragma once

#include <QPixmap>

#include <vector>

// The icons of the categories in the search bar's category combo: one for each of the 18
// fixed categories, in their order, and one shared by every category an engine file adds.
class CategoryPictures {
  public:
    static constexpr int kIconSize = 16;
    static constexpr int kFixedCount = 18;
    // The icon of every added category.
    static constexpr int kAddedCategoryIcon = 18;
    static constexpr int kIconCount = kFixedCount + 1;

    // All icons, in category order.
    static std::vector<QPixmap> Icons();
};
