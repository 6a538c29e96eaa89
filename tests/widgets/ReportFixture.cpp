#include "ReportFixture.h"

#include "widgets/ReportImageList.h"

#include <QApplication>
#include <QTest>

int RecordingReportListener::OnReportNotify(const ReportNotify& notify) {
    notifies.push_back(notify);
    return answer ? answer(notify) : 0;
}

void RecordingReportListener::OnReportPreviewDraw(const ReportPreviewDraw& draw) {
    previewDraws.push_back(draw);
}

int RecordingReportListener::OnReportColumnNotify(const ReportColumnNotify& notify) {
    columnNotifies.push_back(notify);
    return columnAnswer ? columnAnswer(notify) : 0;
}

std::vector<ReportNotify> RecordingReportListener::WithCode(int code) const {
    std::vector<ReportNotify> found;
    for (const ReportNotify& notify : notifies) {
        if (notify.header.code == code) {
            found.push_back(notify);
        }
    }
    return found;
}

void RecordingReportListener::Clear() {
    notifies.clear();
    columnNotifies.clear();
    previewDraws.clear();
}

ReportFixture::ReportFixture(QSize size, uint32_t style) {
    window.resize(size.width(), size.height() + 30);
    other.setParent(&window);
    other.setFocusPolicy(Qt::StrongFocus);
    other.setGeometry(0, size.height(), size.width(), 30);
    control.SetListener(&listener);
    control.Create(style, QRect(QPoint(0, 0), size), &window, 7);
    // Five 16 by 16 state pictures in distinct colours.
    ReportImageList images;
    for (const Qt::GlobalColor colour :
         {Qt::gray, Qt::darkGreen, Qt::red, Qt::darkYellow, Qt::blue}) {
        QPixmap picture(16, 16);
        picture.fill(colour);
        images.Add(picture);
    }
    control.SetImageList(&images);
    int index = 0;
    for (const QColor& colour : {QColor(192, 216, 192), QColor(128, 128, 128),
                                 QColor(192, 192, 208), QColor(0, 64, 128)}) {
        control.InsertColor(index++, colour);
    }
    const char* titles[] = {"State", "Title", "Address", "Search Engines"};
    for (int i = 0; i < 4; ++i) {
        ReportSubItem column;
        column.text = titles[i];
        column.format = i == 0 ? kReportFormatImage | kReportFormatCenter
                               : kReportFormatText | kReportFormatSortable;
        column.width = i == 0 ? 28 : 120;
        column.minWidth = i == 0 ? 28 : 0;
        control.DefineSubItem(i, column);
        control.ActivateSubItem(i, i);
    }
    window.show();
}

ReportFixture::~ReportFixture() {
    control.DestroyWindow();
}

int ReportFixture::AddRow(const std::string& title, const std::string& address,
                          const std::string& engine, int preview) {
    const int index = control.GetItemCount();
    ReportItem item;
    item.mask = kReportMaskImage | kReportMaskParam | kReportMaskPreview;
    item.item = index;
    item.image = 0;
    item.param = static_cast<uint32_t>(index);
    item.preview = preview;
    control.InsertItem(item);
    const std::string* texts[] = {&title, &address, &engine};
    for (int column = 1; column <= 3; ++column) {
        ReportItem cell;
        cell.mask = kReportMaskText | kReportMaskTextColor;
        cell.item = index;
        cell.subItem = column;
        cell.text = *texts[column - 1];
        cell.textColor = 3;
        control.SetItem(cell);
    }
    return index;
}

void ReportFixture::AddRows(const std::vector<std::string>& titles) {
    for (const std::string& title : titles) {
        AddRow(title);
    }
}

void ReportFixture::AddRows(int count, int preview) {
    for (int i = 0; i < count; ++i) {
        AddRow("title " + std::to_string(i), "http://example.com/" + std::to_string(i), "Engine",
               preview);
    }
}

void ReportFixture::Focus() {
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    control.setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
}

void ReportFixture::Unfocus() {
    other.setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
}

QImage ReportFixture::Grab() {
    return control.grab().toImage();
}

QPoint ReportFixture::CellCentre(int row, int subItem) {
    return control.GetCellRect(row, control.GetHeaderIndex(subItem)).center();
}

void ReportFixture::Click(int row, Qt::KeyboardModifiers keys) {
    QTest::mouseClick(&control, Qt::LeftButton, keys, CellCentre(row, 1));
}

void ReportFixture::Key(Qt::Key key, Qt::KeyboardModifiers keys) {
    QTest::keyClick(&control, key, keys);
}

std::vector<int> SelectedRows(const CReportCtrl& control) {
    std::vector<int> rows;
    for (int row = 0; row < control.GetItemCount(); ++row) {
        if ((control.GetItemState(row) & kReportStateSelected) != 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<int> ShownSubItems(const CReportCtrl& control) {
    std::vector<int> shown;
    for (std::size_t position = 0; position < control.GetColumnOrder().size(); ++position) {
        shown.push_back(control.GetColumnSubItem(static_cast<int>(position)));
    }
    return shown;
}

std::vector<std::string> TitlesInRowOrder(const CReportCtrl& control) {
    std::vector<std::string> titles;
    for (const int item : control.GetRowOrder()) {
        titles.push_back(control.GetItemText(item, 1));
    }
    return titles;
}
