#pragma once

#include "widgets/CReportCtrl.h"
#include "widgets/ReportCtrlListener.h"
#include "widgets/ReportImageList.h"

#include <QImage>

#include <functional>
#include <string>
#include <vector>

// Records every notification of a report control, answers as the test says, and paints
// previews as the results view does (the summary, word-wrapped, 40 pixels in).
class RecordingReportListener : public ReportCtrlListener {
  public:
    int OnReportNotify(const ReportNotify& notify) override;
    void OnReportPreviewDraw(const ReportPreviewDraw& draw) override;
    int OnReportColumnNotify(const ReportColumnNotify& notify) override;

    // Codes of the common notifications, in order.
    std::vector<int> Codes() const;
    // The common notifications with the given code.
    std::vector<ReportNotify> WithCode(int code) const;
    void Clear();

    std::vector<ReportNotify> notifies;
    std::vector<ReportColumnNotify> columnNotifies;
    std::vector<ReportPreviewDraw> previewDraws;
    // Answers; 0 when unset.
    std::function<int(const ReportNotify&)> answer;
    std::function<int(const ReportColumnNotify&)> columnAnswer;
    // The preview texts, by item param.
    std::vector<std::string> summaries;
};

// Five 16 by 16 state pictures in distinct colours.
ReportImageList MakeStateImages();

// A created, shown report control with the four columns of the results view ("State" as an
// image column, "Title", "Address", "Search Engines") and the results view's four palette
// colours, listened to by a RecordingReportListener.
class ReportFixture {
  public:
    explicit ReportFixture(QSize size = QSize(420, 300), uint32_t style = 0);
    ~ReportFixture();

    // Appends a row: state image 0, the three texts in palette colour 3, the given preview
    // height and the summary painted there. Returns the item index.
    int AddRow(const std::string& title, const std::string& address, const std::string& engine,
               int preview = 0, const std::string& summary = {});
    // Activates the window and gives the control the keyboard focus.
    void Focus();
    // Takes the focus away to another widget of the same window.
    void Unfocus();
    QImage Grab();
    // The middle of a row's cell in the given column (sub-item), client coordinates.
    QPoint CellCentre(int row, int subItem);

    QWidget window;
    QWidget other;
    CReportCtrl control;
    RecordingReportListener listener;
};
