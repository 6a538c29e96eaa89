#include "widgets/ReportHitTester.h"

#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/CReportCtrl.h"
#include "widgets/ReportCellCodec.h"
#include "widgets/ReportColumns.h"
#include "widgets/ReportImageList.h"

int ReportHitTester::Test(const CReportCtrl& control, ReportHitTest& hit) {
    hit.flags = 0;
    hit.item = kReportNone;
    hit.subItem = -1;
    hit.row = kReportNone;
    hit.column = -1;
    hit.cellRect = QRect();
    const QRect area = control.GetRowArea();
    const QPoint point = hit.point;
    if (!area.contains(point)) {
        if (point.y() < area.top()) {
            hit.flags |= kReportHitAbove;
        }
        if (point.y() > area.bottom()) {
            hit.flags |= kReportHitBelow;
        }
        if (point.x() > area.right()) {
            hit.flags |= kReportHitToRight;
        }
        if (point.x() < area.left()) {
            hit.flags |= kReportHitToLeft;
        }
        return kReportNone;
    }
    int top = area.top();
    int row = control.GetFirstVisibleRow();
    for (; row < control.GetItemCount(); ++row) {
        const int height = control.GetRowFullHeight(row);
        if (point.y() < top + height) {
            break;
        }
        top += height;
        if (top > area.bottom()) {
            row = control.GetItemCount();
            break;
        }
    }
    if (row >= control.GetItemCount()) {
        hit.flags = kReportHitNowhere;
        return kReportNone;
    }
    hit.row = row;
    hit.item = control.GetItemFromRow(row);
    const ReportItemRecord& record = control.m_store.Item(hit.item);
    if (record.preview > 0 && point.y() >= top + control.GetRowHeight()) {
        hit.flags = kReportHitPreview;
        return hit.item;
    }
    const CFlatHeaderCtrl& header = *control.m_header;
    const int x = point.x() + control.GetScrollX();
    const int columns = header.GetItemCount();
    int column = 0;
    QRect extent;
    for (; column < columns; ++column) {
        extent = header.GetItemRect(column);
        if (x >= extent.left() && x < extent.left() + extent.width()) {
            break;
        }
    }
    hit.column = column;
    if (column >= columns) {
        hit.flags = kReportHitNowhere;
        return hit.item;
    }
    hit.subItem = control.m_columns->SubItemOfHeader(column);
    hit.cellRect =
        QRect(extent.left() - control.GetScrollX(), top, extent.width(), control.GetRowHeight());
    ReportCellView cell;
    ReportCellCodec::Read(record.cells, hit.subItem, cell);
    const ReportImageList* images = control.GetImageList();
    const int imageWidth = images != nullptr ? images->ImageSize().width() : 0;
    const int imageEnd = hit.cellRect.left() + kReportCellMargin + imageWidth + kReportCellMargin;
    hit.flags = cell.image != -1 && point.x() < imageEnd ? kReportHitImage : kReportHitCell;
    return hit.item;
}
