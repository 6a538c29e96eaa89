#pragma once

#include <cstdint>

// The numbers shared by the report control, its owner and its header: styles, format bits,
// item masks and states, hit-test flags, notification codes and metrics.

// Control styles, the low 16 bits of the control's style word.
inline constexpr uint32_t kReportStyleMask = 0xFFFF;
// Odd rows are painted in palette colour 0.
inline constexpr uint32_t kReportStyleAlternateRows = 0x0008;
// A line under every row; each row is one pixel taller while it is on.
inline constexpr uint32_t kReportStyleGridLines = 0x0010;
// A column dragged out of the header is hidden.
inline constexpr uint32_t kReportStyleHideDroppedColumn = 0x0100;
// A cut-off cell text shows whole in a tip window while the mouse rests on it.
inline constexpr uint32_t kReportStyleCellTips = 0x2000;

// Sub-item format: bits 0-15 are the header item's format.
inline constexpr uint32_t kReportFormatHeaderMask = 0xFFFF;
inline constexpr uint32_t kReportFormatAlignMask = 0x0003;
inline constexpr uint32_t kReportFormatLeft = 0x0000;
inline constexpr uint32_t kReportFormatRight = 0x0001;
inline constexpr uint32_t kReportFormatCenter = 0x0002;
// The column shows an image in its header.
inline constexpr uint32_t kReportFormatImage = 0x0800;
// The column shows its title in its header.
inline constexpr uint32_t kReportFormatText = 0x4000;
// Bits 16-23 are the flat header's column style byte.
inline constexpr uint32_t kReportFormatStyleShift = 16;
inline constexpr uint32_t kReportFormatStyleByte = 0xFF;
// The column is not auto-sized on a divider double-click (header style 0x04 in the format).
inline constexpr uint32_t kReportFormatNoAutoSize = 0x00040000;
// The column sorts on a header click (header style 0x08 in the format).
inline constexpr uint32_t kReportFormatSortable = 0x00080000;
// Cells of the column without an image keep the image's width free, so that texts line up.
inline constexpr uint32_t kReportFormatReserveImage = 0x01000000;
// The column never takes the focus column.
inline constexpr uint32_t kReportFormatNoFocus = 0x04000000;

// Which fields of a ReportItem are valid.
inline constexpr uint32_t kReportMaskText = 0x01;
inline constexpr uint32_t kReportMaskTextColor = 0x02;
inline constexpr uint32_t kReportMaskImage = 0x04;
inline constexpr uint32_t kReportMaskCheck = 0x08;
inline constexpr uint32_t kReportMaskBkColor = 0x10;
inline constexpr uint32_t kReportMaskPreview = 0x20;
inline constexpr uint32_t kReportMaskState = 0x40;
inline constexpr uint32_t kReportMaskParam = 0x80;

// Item state bits.
inline constexpr uint32_t kReportStateFocused = 0x01;
inline constexpr uint32_t kReportStateSelected = 0x02;
inline constexpr uint32_t kReportStateBold = 0x04;

// Hit-test flags.
inline constexpr uint32_t kReportHitNowhere = 0x0001;
inline constexpr uint32_t kReportHitImage = 0x0002;
inline constexpr uint32_t kReportHitCell = 0x0008;
inline constexpr uint32_t kReportHitPreview = 0x0010;
inline constexpr uint32_t kReportHitAbove = 0x0100;
inline constexpr uint32_t kReportHitBelow = 0x0200;
inline constexpr uint32_t kReportHitToRight = 0x0400;
inline constexpr uint32_t kReportHitToLeft = 0x0800;

// Notification codes, -2048 minus k.
inline constexpr int kReportNotifyPreviewDraw = -2048;
inline constexpr int kReportNotifyLeftButtonDown = -2049;
inline constexpr int kReportNotifyDoubleClick = -2050;
inline constexpr int kReportNotifySelectionChanging = -2051;
inline constexpr int kReportNotifySelectionChanged = -2052;
inline constexpr int kReportNotifyColumnClick = -2053;
inline constexpr int kReportNotifyColumnChanged = -2054;
inline constexpr int kReportNotifyDeleteItem = -2055;
inline constexpr int kReportNotifyKeyDown = -2059;
inline constexpr int kReportNotifyDividerDoubleClick = -2060;
inline constexpr int kReportNotifyRightButtonDown = -2061;

// Item and row functions answer this for "none"; -1 stands for "the default".
inline constexpr int kReportNone = -2;
inline constexpr int kReportDefault = -1;

// Key flags of mouse notifications (the mouse message's key state).
inline constexpr uint32_t kReportKeyLeftButton = 0x0001;
inline constexpr uint32_t kReportKeyRightButton = 0x0002;
inline constexpr uint32_t kReportKeyShift = 0x0004;
inline constexpr uint32_t kReportKeyControl = 0x0008;
inline constexpr uint32_t kReportKeyMiddleButton = 0x0010;

// Texts are cut to this many bytes when stored.
inline constexpr int kReportMaxTextLength = 255;
// The buffer the string form of GetItemText reads into.
inline constexpr int kReportTextBufferSize = 256;
// The width of a column defined with a negative width.
inline constexpr int kReportDefaultColumnWidth = 200;
// Space on both sides of a cell's content and between its image and its text.
inline constexpr int kReportCellMargin = 6;

// SelectRange flags.
// Change the selected bit of the rows in the range (without it only the focus moves).
inline constexpr uint32_t kReportSelectApply = 0x01;
// Leave the selection outside the range as it is.
inline constexpr uint32_t kReportSelectKeepOthers = 0x02;
// Toggle the rows of the range instead of selecting them.
inline constexpr uint32_t kReportSelectToggle = 0x04;
// Ask the owner before each change (-2051, which may veto) and tell it after (-2052).
inline constexpr uint32_t kReportSelectNotify = 0x08;
