#pragma once

#include "widgets/ReportConstants.h"

#include <QPoint>
#include <QRect>

#include <cstdint>
#include <optional>
#include <string>

class CReportCtrl;
class QPainter;

// One column definition of the report control.
struct ReportSubItem {
    // Bits 0-15 the header format, 16-23 the header style byte, and the kReportFormat* flags.
    uint32_t format = kReportFormatText;
    // Width in pixels; a negative width means the default width.
    int32_t width = -1;
    int32_t minWidth = 0;
    // Largest width; -1 means no limit.
    int32_t maxWidth = -1;
    // Header image; used only when the format has kReportFormatImage.
    int32_t image = 0;
    // The column title, as bytes (UTF-8 when painted).
    std::string text;
};

// The exchange record by which the owner sets and reads an item or one of its cells.
struct ReportItem {
    // Which fields are valid (kReportMask*). GetItem rebuilds it.
    uint32_t mask = 0;
    int32_t item = 0;
    int32_t subItem = 0;
    // kReportMaskText. SetItem: the text, or nothing for a cell without any text. GetItem: the
    // cell's text cut to textMax - 1 bytes, or nothing when the cell has no text.
    std::optional<std::string> text;
    // The size of the caller's text buffer in bytes, terminating zero included; GetItem reads
    // the text only when it is above 0.
    int32_t textMax = kReportTextBufferSize;
    // kReportMaskTextColor: palette index of the text colour, -1 for none.
    int32_t textColor = -1;
    // kReportMaskImage: image index of the cell, -1 for none.
    int32_t image = -1;
    // kReportMaskCheck: carried along, never used by the control.
    int32_t check = -1;
    // kReportMaskBkColor: palette index of the row background, -1 for none.
    int32_t bkColor = -1;
    // kReportMaskPreview: height of the owner-painted area under the row.
    int32_t preview = 0;
    // kReportMaskState: kReportState* bits.
    uint32_t state = 0;
    // kReportMaskParam: the owner's value for the item.
    uint32_t param = 0;
};

// Where a point of the control lies.
struct ReportHitTest {
    // The point, in the control's client coordinates (input).
    QPoint point;
    // kReportHit* flags.
    uint32_t flags = 0;
    int32_t item = kReportNone;
    int32_t subItem = -1;
    int32_t row = kReportNone;
    // Header item index of the column under the point.
    int32_t column = -1;
    // The cell: the column's edges and the row's top and row height.
    QRect cellRect;
};

// The head of every notification record.
struct ReportNotifyHeader {
    CReportCtrl* sender = nullptr;
    int controlId = 0;
    int code = 0;
};

// The common notification record.
struct ReportNotify {
    ReportNotifyHeader header;
    // Mouse notifications: kReportKey* flags. Key notification: the virtual key.
    uint32_t keys = 0;
    QPoint point;
    // Mouse notifications: hit-test flags. Key notification: the key-message flags.
    uint32_t flags = 0;
    int32_t item = kReportNone;
    int32_t subItem = -1;
    uint32_t state = 0;
    uint32_t param = 0;
};

// Asks the owner to paint an item's preview area.
struct ReportPreviewDraw {
    ReportNotifyHeader header;
    int32_t item = kReportNone;
    uint32_t state = 0;
    QPainter* painter = nullptr;
    QRect rect;
    uint32_t param = 0;
};

// A header column was clicked or its divider double-clicked.
struct ReportColumnNotify {
    ReportNotifyHeader header;
    int32_t subItem = -1;
};
