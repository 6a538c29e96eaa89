#pragma once

#include "widgets/ReportRecords.h"

// The owner's side of a report control: every notification arrives here with its code in the
// record's header, and the answer is what the owner returns. Answers that the control reads are
// documented with the codes in ReportConstants.h; 0 always means "go on as usual".
//
// The listener must outlive the control, or detach itself with SetListener(nullptr) (or call
// DestroyWindow(), which deletes the items while the listener can still hear about them) before
// it goes.
class ReportCtrlListener {
  public:
    virtual ~ReportCtrlListener();
    // Mouse, selection, column-change, delete and key notifications (-2049 to -2052, -2054,
    // -2055, -2059, -2061).
    virtual int OnReportNotify(const ReportNotify& notify);
    // -2048: paint the item's preview area on the painter, inside the rectangle.
    virtual void OnReportPreviewDraw(const ReportPreviewDraw& draw);
    // -2053 a column click and -2060 a divider double-click.
    virtual int OnReportColumnNotify(const ReportColumnNotify& notify);
};
