#pragma once

class CReportCtrl;
struct ReportHitTest;

// Finds what lies under a point of a report control: the row (or the area above, below or
// beside the rows), the row's preview, and the column with its cell and the cell's image.
class ReportHitTester {
  public:
    // Fills hit for hit.point and returns the item under it, or -2.
    static int Test(const CReportCtrl& control, ReportHitTest& hit);
};
