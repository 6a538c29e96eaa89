#include "widgets/ReportCtrlListener.h"

ReportCtrlListener::~ReportCtrlListener() = default;

int ReportCtrlListener::OnReportNotify(const ReportNotify& /*notify*/) {
    return 0;
}

void ReportCtrlListener::OnReportPreviewDraw(const ReportPreviewDraw& /*draw*/) {
}

int ReportCtrlListener::OnReportColumnNotify(const ReportColumnNotify& /*notify*/) {
    return 0;
}
