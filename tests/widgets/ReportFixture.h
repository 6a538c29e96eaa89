#pragma once

#include "widgets/CReportCtrl.h"
#include "widgets/ReportCtrlListener.h"

#include <QImage>

#include <functional>
#include <string>
#include <vector>

// Records every notification of a report control and answers as the test says.
class RecordingReportListener : public ReportCtrlListener {
  public:
    int OnReportNotify(const ReportNotify& notify) override;
    void OnReportPreviewDraw(const ReportPreviewDraw& draw) override;
    int OnReportColumnNotify(const ReportColumnNotify& notify) override;

    // The common notifications with the given code.
    std::vector<ReportNotify> WithCode(int code) const;
    void Clear();

    std::vector<ReportNotify> notifies;
    std::vector<ReportColumnNotify> columnNotifies;
    std::vector<ReportPreviewDraw> previewDraws;
    // Answers; 0 when unset.
    std::function<int(const ReportNotify&)> answer;
    std::function<int(const ReportColumnNotify&)> columnAnswer;
};

// A created, shown report control with the four columns of the results view ("State" as an
// image column, "Title", "Address", "Search Engines") and the results view's four palette
// colours, listened to by a RecordingReportListener.
class ReportFixture {
  public:
    explicit ReportFixture(QSize size = QSize(420, 300), uint32_t style = 0);
    ~ReportFixture();

    // Appends a row: state image 0, the three texts in palette colour 3 and the given preview
    // height; the item param is the item index. Returns the item index.
    int AddRow(const std::string& title, const std::string& address = {},
               const std::string& engine = {}, int preview = 0);
    // Rows with the given titles, or count rows "title N".
    void AddRows(const std::vector<std::string>& titles);
    void AddRows(int count, int preview = 0);
    // Activates the window and gives the control the keyboard focus.
    void Focus();
    // Takes the focus away to another widget of the same window.
    void Unfocus();
    QImage Grab();
    // The middle of a row's cell in the given column (sub-item), client coordinates.
    QPoint CellCentre(int row, int subItem);
    void Click(int row, Qt::KeyboardModifiers keys = Qt::NoModifier);
    void Key(Qt::Key key, Qt::KeyboardModifiers keys = Qt::NoModifier);

    QWidget window;
    QWidget other;
    CReportCtrl control;
    RecordingReportListener listener;
};

// Rows whose item state has the selected bit.
std::vector<int> SelectedRows(const CReportCtrl& control);
// Activated sub-items in display order.
std::vector<int> ShownSubItems(const CReportCtrl& control);
// The Title texts in display order.
std::vector<std::string> TitlesInRowOrder(const CReportCtrl& control);
