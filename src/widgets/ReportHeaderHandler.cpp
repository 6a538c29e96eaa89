#include "widgets/ReportHeaderHandler.h"

#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/CReportCtrl.h"
#include "widgets/ReportCellCodec.h"
#include "widgets/ReportColumns.h"
#include "widgets/ReportImageList.h"
#include "widgets/ReportNotifier.h"

#include <QFontMetrics>

#include <algorithm>

ReportHeaderHandler::ReportHeaderHandler(CReportCtrl& control) : m_control(control) {
}

void ReportHeaderHandler::OnHeaderItemClick(CFlatHeaderCtrl& header, int item) {
    const int subItem = m_control.m_columns->SubItemOfHeader(item);
    if (m_control.m_notifier->NotifyColumn(kReportNotifyColumnClick, subItem) != 0) {
        return;
    }
    bool ascending = true;
    const int sortColumn = header.GetSortColumn(&ascending);
    m_control.SortItems(subItem, sortColumn == item ? !ascending : true);
}

bool ReportHeaderHandler::OnHeaderBeginDrag(CFlatHeaderCtrl& /*header*/, int /*item*/) {
    return false;
}

int ReportHeaderHandler::OnHeaderEndDrag(CFlatHeaderCtrl& header, int item) {
    if (header.GetDropResult() == kHeaderDropOutside &&
        (m_control.GetStyle() & kReportStyleHideDroppedColumn) != 0) {
        m_control.DeactivateSubItem(m_control.m_columns->SubItemOfHeader(item));
        return 1;
    }
    // The header moves the column after this returns; the order is read again before the
    // next paint.
    m_control.m_columns->MarkOrderStale();
    m_control.update();
    m_control.NotifyAccessibleReset();
    return 0;
}

void ReportHeaderHandler::OnHeaderItemChanged(CFlatHeaderCtrl& /*header*/, int item) {
    const int subItem = m_control.m_columns->TakeHeaderWidth(item);
    if (subItem < 0) {
        return;
    }
    m_control.Layout();
    m_control.m_notifier->NotifyColumnChanged(subItem);
}

void ReportHeaderHandler::OnHeaderDividerDoubleClick(CFlatHeaderCtrl& /*header*/, int item) {
    const int subItem = m_control.m_columns->SubItemOfHeader(item);
    if (m_control.m_notifier->NotifyColumn(kReportNotifyDividerDoubleClick, subItem) != 0) {
        return;
    }
    ReportSubItem definition;
    if (!m_control.GetSubItem(subItem, definition) ||
        (definition.format & kReportFormatNoAutoSize) != 0 || m_control.GetItemCount() == 0) {
        return;
    }
    int widest = 0;
    for (int index = 0; index < m_control.GetItemCount(); ++index) {
        widest = std::max(widest, NeededCellWidth(index, subItem));
    }
    m_control.SetSubItemWidth(subItem, widest);
}

int ReportHeaderHandler::NeededCellWidth(int item, int subItem) const {
    ReportCellView cell;
    const ReportItemRecord& record = m_control.m_store.Item(item);
    if (!ReportCellCodec::Read(record.cells, subItem, cell)) {
        return 0;
    }
    int width = kReportCellMargin;
    const ReportImageList* images = m_control.GetImageList();
    if (cell.image != -1 && images != nullptr) {
        width += images->ImageSize().width() + kReportCellMargin;
    }
    if (cell.hasText) {
        const bool bold = (record.state & kReportStateBold) != 0;
        const QFontMetrics metrics(bold ? m_control.GetBoldFont() : m_control.font());
        const QString text =
            QString::fromUtf8(cell.text.data(), static_cast<qsizetype>(cell.text.size()));
        width += kReportCellMargin + metrics.horizontalAdvance(text);
    }
    return width;
}
