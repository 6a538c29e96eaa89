#pragma once

#include "widgets/ReportRecords.h"

#include <string>
#include <string_view>

struct ReportItemRecord;

// The exchange between the owner's ReportItem records and an item of the report control: the
// fields that a record's mask names are written to the item and to its cell record.subItem,
// and read back with the mask rebuilt. Texts are cut to what a cell stores.
class ReportItemFields {
  public:
    // Sets the cell item.subItem and the item fields that item.mask names; the state bits of
    // focus and selection are kept. False, changing nothing, when the cell cannot be read.
    static bool Write(ReportItemRecord& record, const ReportItem& item);
    // Reads the cell item.subItem and the item fields into item and rebuilds item.mask.
    static bool Read(const ReportItemRecord& record, ReportItem& item);
    // A record that names the text of one cell, for a buffer of textMax bytes.
    static ReportItem TextCell(int item, int subItem, int textMax = kReportTextBufferSize);
    // Copies text and a zero byte into buffer, which holds more than text.
    static int CopyText(const std::string& text, char* buffer);
    // Cuts text to what a cell stores, without splitting a UTF-8 sequence at the cut.
    static std::string_view CutText(std::string_view text);
};
