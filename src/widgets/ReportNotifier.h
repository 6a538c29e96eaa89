#pragma once

#include "widgets/ReportRecords.h"

#include <cstdint>

class CReportCtrl;
class QPainter;
class QRect;
class ReportCtrlListener;
class ReportItemStore;

// What a report control tells its owner: fills in the sender and the control id of every
// notification and hands it to the listener. Without a listener nothing is sent and every
// answer is 0.
class ReportNotifier {
  public:
    ReportNotifier(CReportCtrl& control, const ReportItemStore& store);

    void SetListener(ReportCtrlListener* listener);

    // Each returns the listener's answer (0 without one).
    int Notify(ReportNotify notify) const;
    int NotifyColumn(int code, int subItem) const;
    int NotifySelection(int code, int item, uint32_t state) const;
    // The item, with its value, is about to be deleted.
    int NotifyDeleteItem(int item) const;
    // The column of the sub-item has a new width.
    int NotifyColumnChanged(int subItem) const;
    // Asks the owner to paint the item's preview inside rect.
    void NotifyPreview(QPainter& painter, int item, const QRect& rect) const;

  private:
    CReportCtrl& m_control;
    const ReportItemStore& m_store;
    ReportCtrlListener* m_listener = nullptr;
};
