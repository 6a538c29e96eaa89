#include "widgets/ReportItemFields.h"

#include "widgets/ReportCellCodec.h"
#include "widgets/ReportItemStore.h"

#include <algorithm>
#include <optional>

bool ReportItemFields::Write(ReportItemRecord& record, const ReportItem& item) {
    ReportCellView cell;
    if (!ReportCellCodec::Read(record.cells, item.subItem, cell)) {
        return false;
    }
    // The cell's own text points into the cells being rewritten, so only that one is copied.
    std::optional<std::string> keptText;
    std::optional<std::string_view> textView;
    if ((item.mask & kReportMaskText) != 0) {
        if (item.text) {
            textView = CutText(*item.text);
        }
    } else if (cell.hasText) {
        keptText = std::string(cell.text);
        textView = *keptText;
    }
    const int32_t textColor =
        (item.mask & kReportMaskTextColor) != 0 ? item.textColor : cell.textColor;
    const int32_t image = (item.mask & kReportMaskImage) != 0 ? item.image : cell.image;
    const int32_t check = (item.mask & kReportMaskCheck) != 0 ? item.check : cell.check;
    ReportCellCodec::Write(record.cells, item.subItem, image, check, textColor, textView);

    if ((item.mask & kReportMaskBkColor) != 0) {
        record.bkColor = item.bkColor;
    }
    if ((item.mask & kReportMaskPreview) != 0) {
        record.preview = std::max(0, item.preview);
    }
    if ((item.mask & kReportMaskParam) != 0) {
        record.param = item.param;
    }
    if ((item.mask & kReportMaskState) != 0) {
        constexpr uint32_t kKept = kReportStateFocused | kReportStateSelected;
        record.state = (item.state & ~kKept) | (record.state & kKept);
    }
    return true;
}

bool ReportItemFields::Read(const ReportItemRecord& record, ReportItem& item) {
    ReportCellView cell;
    if (!ReportCellCodec::Read(record.cells, item.subItem, cell)) {
        return false;
    }
    const bool askedForText = (item.mask & kReportMaskText) != 0 && item.textMax > 0;
    uint32_t mask = kReportMaskState | kReportMaskParam;
    if (record.preview != 0) {
        mask |= kReportMaskPreview;
    }
    if (record.bkColor >= 0) {
        mask |= kReportMaskBkColor;
    }
    item.text.reset();
    if (askedForText && cell.hasText) {
        mask |= kReportMaskText;
        item.text = std::string(cell.text.substr(0, static_cast<std::size_t>(item.textMax - 1)));
    }
    if (cell.textColor != -1) {
        mask |= kReportMaskTextColor;
    }
    if (cell.image != -1) {
        mask |= kReportMaskImage;
    }
    if (cell.check != -1) {
        mask |= kReportMaskCheck;
    }
    item.mask = mask;
    item.textColor = cell.textColor;
    item.image = cell.image;
    item.check = cell.check;
    item.bkColor = record.bkColor;
    item.preview = record.preview;
    item.state = record.state;
    item.param = record.param;
    return true;
}

ReportItem ReportItemFields::TextCell(int item, int subItem, int textMax) {
    ReportItem record;
    record.mask = kReportMaskText;
    record.item = item;
    record.subItem = subItem;
    record.textMax = textMax;
    return record;
}

int ReportItemFields::CopyText(const std::string& text, char* buffer) {
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = '\0';
    return static_cast<int>(text.size());
}

std::string_view ReportItemFields::CutText(std::string_view text) {
    const auto limit = static_cast<std::size_t>(kReportMaxTextLength);
    if (text.size() <= limit) {
        return text;
    }
    constexpr unsigned char kContinuationMask = 0xC0;
    constexpr unsigned char kContinuation = 0x80;
    constexpr std::size_t kLongestSequence = 4;
    std::size_t cut = limit;
    std::size_t steps = 0;
    while (cut > 0 && steps < kLongestSequence &&
           (static_cast<unsigned char>(text[cut]) & kContinuationMask) == kContinuation) {
        --cut;
        ++steps;
    }
    if (steps == kLongestSequence || cut == 0) {
        cut = limit;
    }
    return text.substr(0, cut);
}
