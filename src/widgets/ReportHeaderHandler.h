#pragma once

#include "widgets/FlatHeaderListener.h"

class CReportCtrl;

// The report control's side of its header: a column click is offered to the owner and then
// sorts by the column, a column dropped outside the header goes when the control hides dropped
// columns, a new width is taken and reported, and a divider double-click fits the column to
// its widest cell.
class ReportHeaderHandler : public FlatHeaderListener {
  public:
    explicit ReportHeaderHandler(CReportCtrl& control);

    void OnHeaderItemClick(CFlatHeaderCtrl& header, int item) override;
    bool OnHeaderBeginDrag(CFlatHeaderCtrl& header, int item) override;
    int OnHeaderEndDrag(CFlatHeaderCtrl& header, int item) override;
    void OnHeaderItemChanged(CFlatHeaderCtrl& header, int item) override;
    void OnHeaderDividerDoubleClick(CFlatHeaderCtrl& header, int item) override;

  private:
    // The width that shows the item's cell of the sub-item whole: margins, image and text.
    int NeededCellWidth(int item, int subItem) const;

    CReportCtrl& m_control;
};
