#pragma once

#include <cstdint>
#include <string>

// Column style byte of the flat header.
// The width is fitted to the column's content when the extra data is set.
inline constexpr uint32_t kHeaderStyleFitContent = 0x01;
// Fixed width: the divider cannot be dragged or double-clicked.
inline constexpr uint32_t kHeaderStyleFixedWidth = 0x04;
// The column sorts.
inline constexpr uint32_t kHeaderStyleSortable = 0x08;
// The column cannot be dropped outside the header.
inline constexpr uint32_t kHeaderStyleStayInHeader = 0x10;

// Header item format bits (the low 16 bits of a column's format).
inline constexpr uint32_t kHeaderFormatAlignMask = 0x0003;
inline constexpr uint32_t kHeaderFormatRight = 0x0001;
inline constexpr uint32_t kHeaderFormatCenter = 0x0002;
inline constexpr uint32_t kHeaderFormatImage = 0x0800;
inline constexpr uint32_t kHeaderFormatText = 0x4000;

// Header-wide property numbers.
inline constexpr int kHeaderPropertySpacing = 1;
inline constexpr int kHeaderPropertySortMarkSize = 2;
inline constexpr int kHeaderPropertyDragCursor = 4;
inline constexpr int kHeaderPropertyTips = 6;
inline constexpr int kHeaderPropertyFirst = 1;
inline constexpr int kHeaderPropertyLast = 6;

// The drag state at the last drop.
inline constexpr int kHeaderDropOverHeader = 0;
inline constexpr int kHeaderDropNotAllowed = 2;
inline constexpr int kHeaderDropOutside = -1;

// One column of the header.
struct FlatHeaderItem {
    int width = 0;
    // kHeaderFormat* bits.
    uint32_t format = kHeaderFormatText;
    // Index into the header's image list, when the format has kHeaderFormatImage.
    int image = 0;
    // The title, as bytes (UTF-8 when painted).
    std::string text;
    // The owner's value; the report control keeps the column's sub-item index here.
    intptr_t param = 0;
    // Display position; on insertion, where the column goes (-1 or beyond the end: last).
    int order = -1;
};

// The flat header's extra data of one column.
struct FlatHeaderItemEx {
    // kHeaderStyle* bits.
    uint32_t style = 0;
    int minWidth = 0;
    // The limits apply only when minWidth is not greater than maxWidth.
    int maxWidth = -1;
    // The column's tip; empty for none.
    std::string tip;
};

// What lies under a point of the header.
struct FlatHeaderHit {
    // Header item index of the column, or of the column whose divider it is; -1 for none.
    int item = -1;
    // That column's display position; -1 for none.
    int order = -1;
    // The point is on the column's right divider.
    bool onDivider = false;
    // The column's width may change (its style lacks kHeaderStyleFixedWidth).
    bool resizable = false;
};
