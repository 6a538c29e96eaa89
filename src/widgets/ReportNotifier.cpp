#include "widgets/ReportNotifier.h"

#include "widgets/CReportCtrl.h"
#include "widgets/ReportCtrlListener.h"
#include "widgets/ReportItemStore.h"

ReportNotifier::ReportNotifier(CReportCtrl& control, const ReportItemStore& store)
    : m_control(control), m_store(store) {
}

void ReportNotifier::SetListener(ReportCtrlListener* listener) {
    m_listener = listener;
}

int ReportNotifier::Notify(ReportNotify notify) const {
    if (m_listener == nullptr) {
        return 0;
    }
    notify.header.sender = &m_control;
    notify.header.controlId = m_control.GetControlId();
    return m_listener->OnReportNotify(notify);
}

int ReportNotifier::NotifyColumn(int code, int subItem) const {
    if (m_listener == nullptr) {
        return 0;
    }
    ReportColumnNotify notify;
    notify.header = {&m_control, m_control.GetControlId(), code};
    notify.subItem = subItem;
    return m_listener->OnReportColumnNotify(notify);
}

int ReportNotifier::NotifySelection(int code, int item, uint32_t state) const {
    ReportNotify notify;
    notify.header.code = code;
    notify.item = item;
    notify.subItem = -1;
    notify.state = state;
    notify.param = 0;
    return Notify(notify);
}

int ReportNotifier::NotifyDeleteItem(int item) const {
    ReportNotify notify;
    notify.header.code = kReportNotifyDeleteItem;
    notify.item = item;
    notify.subItem = 0;
    notify.param = m_store.Item(item).param;
    return Notify(notify);
}

int ReportNotifier::NotifyColumnChanged(int subItem) const {
    ReportNotify notify;
    notify.header.code = kReportNotifyColumnChanged;
    notify.item = -1;
    notify.subItem = subItem;
    return Notify(notify);
}

void ReportNotifier::NotifyPreview(QPainter& painter, int item, const QRect& rect) const {
    if (m_listener == nullptr) {
        return;
    }
    const ReportItemRecord& record = m_store.Item(item);
    ReportPreviewDraw draw;
    draw.header = {&m_control, m_control.GetControlId(), kReportNotifyPreviewDraw};
    draw.item = item;
    draw.state = record.state;
    draw.painter = &painter;
    draw.rect = rect;
    draw.param = record.param;
    m_listener->OnReportPreviewDraw(draw);
}
