#include "ReportFixture.h"

#include "widgets/CFlatHeaderCtrl.h"

#include <QApplication>
#include <QPainter>
#include <QTest>

namespace {

constexpr int kStateImages = 5;
constexpr int kImageSize = 16;
// The results view's text colour of new rows.
constexpr int kTextColour = 3;
// The results view draws a summary this far in from the left of its preview area.
constexpr int kSummaryIndent = 40;
constexpr int kSummaryInset = 2;

} // namespace

int RecordingReportListener::OnReportNotify(const ReportNotify& notify) {
    notifies.push_back(notify);
    return answer ? answer(notify) : 0;
}

void RecordingReportListener::OnReportPreviewDraw(const ReportPreviewDraw& draw) {
    previewDraws.push_back(draw);
    if (draw.param >= summaries.size()) {
        return;
    }
    const QRect area = draw.rect.adjusted(kSummaryIndent, kSummaryInset, 0, -kSummaryInset);
    const bool highlighted =
        (draw.state & kReportStateSelected) != 0 && draw.header.sender->HasFocus();
    draw.painter->setPen(highlighted ? draw.header.sender->GetColors().highlightText
                                     : QColor(Qt::black));
    draw.painter->drawText(area, Qt::TextWordWrap | Qt::TextExpandTabs,
                           QString::fromStdString(summaries[draw.param]));
}

int RecordingReportListener::OnReportColumnNotify(const ReportColumnNotify& notify) {
    columnNotifies.push_back(notify);
    return columnAnswer ? columnAnswer(notify) : 0;
}

std::vector<int> RecordingReportListener::Codes() const {
    std::vector<int> codes;
    for (const ReportNotify& notify : notifies) {
        codes.push_back(notify.header.code);
    }
    return codes;
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

ReportImageList MakeStateImages() {
    const QColor colours[kStateImages] = {Qt::gray, Qt::darkGreen, Qt::red, Qt::darkYellow,
                                          Qt::blue};
    ReportImageList images;
    for (const QColor& colour : colours) {
        QPixmap picture(kImageSize, kImageSize);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(colour);
        painter.setPen(colour.darker());
        painter.drawEllipse(2, 2, kImageSize - 4, kImageSize - 4);
        painter.end();
        images.Add(picture);
    }
    return images;
}

ReportFixture::ReportFixture(QSize size, uint32_t style) {
    window.resize(size.width(), size.height() + 30);
    other.setParent(&window);
    other.setFocusPolicy(Qt::StrongFocus);
    other.setGeometry(0, size.height(), size.width(), 30);
    control.SetListener(&listener);
    control.Create(style, QRect(QPoint(0, 0), size), &window, 7);
    const ReportImageList images = MakeStateImages();
    control.SetImageList(&images);
    control.InsertColor(0, QColor(192, 216, 192));
    control.InsertColor(1, QColor(128, 128, 128));
    control.InsertColor(2, QColor(192, 192, 208));
    control.InsertColor(3, QColor(0, 64, 128));
    const char* titles[] = {"State", "Title", "Address", "Search Engines"};
    for (int i = 0; i < 4; ++i) {
        ReportSubItem column;
        column.text = titles[i];
        column.format = i == 0 ? kReportFormatImage | kReportFormatCenter
                               : kReportFormatText | kReportFormatSortable;
        column.width = i == 0 ? 28 : 120;
        column.minWidth = i == 0 ? 28 : 0;
        control.DefineSubItem(i, column);
    }
    for (int i = 0; i < 4; ++i) {
        control.ActivateSubItem(i, i);
    }
    window.show();
}

ReportFixture::~ReportFixture() {
    control.DestroyWindow();
}

int ReportFixture::AddRow(const std::string& title, const std::string& address,
                          const std::string& engine, int preview, const std::string& summary) {
    const int index = control.GetItemCount();
    ReportItem item;
    item.mask = kReportMaskImage | kReportMaskParam | kReportMaskPreview;
    item.item = index;
    item.subItem = 0;
    item.image = 0;
    item.param = static_cast<uint32_t>(listener.summaries.size());
    item.preview = preview;
    listener.summaries.push_back(summary);
    control.InsertItem(item);
    const std::string* texts[] = {&title, &address, &engine};
    for (int column = 1; column <= 3; ++column) {
        ReportItem cell;
        cell.mask = kReportMaskText | kReportMaskTextColor;
        cell.item = index;
        cell.subItem = column;
        cell.text = *texts[column - 1];
        cell.textColor = kTextColour;
        control.SetItem(cell);
    }
    return index;
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
    const QRect cell = control.GetCellRect(row, control.GetHeaderIndex(subItem));
    return cell.center();
}
