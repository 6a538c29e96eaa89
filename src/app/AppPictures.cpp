#include "app/AppPictures.h"

#include "app/AppCommands.h"
#include "search/SearchSessionView.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>

namespace {

// Every picture is designed on a grid of this many units and scaled to its size.
constexpr qreal kToolBarGrid = 20.0;
constexpr qreal kStateGrid = 16.0;
constexpr qreal kProgramGrid = 64.0;
constexpr std::array<int, 5> kProgramIconSizes = {16, 24, 32, 48, 64};

const QColor kOutline(40, 52, 72);
const QColor kGlobeLight(150, 205, 255);
const QColor kGlobeDark(20, 90, 180);
const QColor kGlobeLines(235, 245, 255, 200);
const QColor kArrowGreen(40, 150, 60);
const QColor kCheckGreen(30, 140, 50);
const QColor kCrossRed(200, 40, 40);
const QColor kFolderLight(255, 222, 120);
const QColor kFolderDark(220, 160, 40);
const QColor kPaper(252, 252, 248);
const QColor kPaperLine(150, 160, 175);
const QColor kFunnel(240, 150, 40);
const QColor kWindowTitle(30, 90, 170);
const QColor kDiskBlue(50, 90, 160);
const QColor kDiskLabel(240, 240, 240);
const QColor kGear(110, 118, 130);
const QColor kGearHole(245, 245, 245);
const QColor kFaceLight(250, 250, 250);
const QColor kFaceDark(214, 214, 214);
const QColor kFrameLight(255, 255, 255);
const QColor kFrameDark(120, 120, 120);
const QColor kButtonText(20, 30, 50);
const QColor kStopRed(200, 35, 35);
const QColor kLensGlass(200, 230, 255, 220);
const QColor kHandle(90, 60, 30);
const QColor kWhite(255, 255, 255);
const QColor kStateGrey(150, 150, 150);
const QColor kStateGreen(40, 150, 60);
const QColor kStateRed(205, 45, 45);
const QColor kStateAmber(225, 160, 20);
const QColor kStateBlue(50, 110, 200);

constexpr qreal kThinPen = 1.0;
constexpr qreal kMediumPen = 1.5;
constexpr qreal kThickPen = 2.5;
constexpr int kSearchFontPixels = 11;
constexpr int kSmallestFontPixels = 7;

QPixmap Canvas(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void BeginPainting(QPainter& painter, qreal scaleX, qreal scaleY) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scaleX, scaleY);
}

void DrawGlobe(QPainter& painter, const QRectF& box) {
    QRadialGradient fill(box.center() - QPointF(box.width() / 4, box.height() / 4),
                         box.width() * 0.8);
    fill.setColorAt(0, kGlobeLight);
    fill.setColorAt(1, kGlobeDark);
    painter.setPen(QPen(kOutline, kThinPen));
    painter.setBrush(fill);
    painter.drawEllipse(box);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kGlobeLines, kThinPen * 0.8));
    painter.drawEllipse(box.adjusted(box.width() * 0.3, 0, -box.width() * 0.3, 0));
    painter.drawLine(QPointF(box.center().x(), box.top()), QPointF(box.center().x(), box.bottom()));
    painter.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
    const qreal quarter = box.height() / 4;
    const qreal inset = box.width() * 0.07;
    painter.drawLine(QPointF(box.left() + inset * 1.8, box.top() + quarter),
                     QPointF(box.right() - inset * 1.8, box.top() + quarter));
    painter.drawLine(QPointF(box.left() + inset * 1.8, box.bottom() - quarter),
                     QPointF(box.right() - inset * 1.8, box.bottom() - quarter));
}

void DrawArrow(QPainter& painter, const QPointF& from, const QPointF& to, const QColor& colour) {
    painter.setPen(QPen(colour, kThickPen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
    const qreal angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    constexpr qreal kHeadLength = 4.0;
    constexpr qreal kHeadSpread = 0.6;
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(to - QPointF(std::cos(angle - kHeadSpread), std::sin(angle - kHeadSpread)) *
                         kHeadLength);
    head.moveTo(to);
    head.lineTo(to - QPointF(std::cos(angle + kHeadSpread), std::sin(angle + kHeadSpread)) *
                         kHeadLength);
    painter.drawPath(head);
}

void DrawPage(QPainter& painter, const QRectF& box, int lines) {
    painter.setPen(QPen(kOutline, kThinPen));
    painter.setBrush(kPaper);
    painter.drawRect(box);
    painter.setPen(QPen(kPaperLine, kThinPen));
    const qreal step = box.height() / (lines + 1);
    for (int line = 1; line <= lines; ++line) {
        const qreal y = box.top() + step * line;
        painter.drawLine(QPointF(box.left() + 2, y), QPointF(box.right() - 2, y));
    }
}

void DrawCheck(QPainter& painter, const QPolygonF& stroke, const QColor& colour, qreal width) {
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(stroke);
}

void DrawOpen(QPainter& painter) {
    DrawGlobe(painter, QRectF(1.5, 1.5, 14, 14));
    DrawArrow(painter, QPointF(9, 17), QPointF(18, 17), kArrowGreen);
}

void DrawOpenNewWindow(QPainter& painter) {
    const QRectF frame(1.5, 2.5, 15, 12);
    painter.setPen(QPen(kOutline, kThinPen));
    painter.setBrush(kPaper);
    painter.drawRect(frame);
    painter.setBrush(kWindowTitle);
    painter.drawRect(QRectF(frame.left(), frame.top(), frame.width(), 3));
    DrawGlobe(painter, QRectF(9.5, 9.5, 9, 9));
}

void DrawValidate(QPainter& painter) {
    DrawPage(painter, QRectF(2.5, 1.5, 12, 16), 4);
    DrawCheck(painter, QPolygonF({QPointF(7, 11), QPointF(11, 16), QPointF(18.5, 5)}), kCheckGreen,
              kThickPen + 0.5);
}

void DrawRefine(QPainter& painter) {
    QPainterPath funnel;
    funnel.moveTo(2, 3);
    funnel.lineTo(18, 3);
    funnel.lineTo(11.5, 10.5);
    funnel.lineTo(11.5, 17);
    funnel.lineTo(8.5, 15);
    funnel.lineTo(8.5, 10.5);
    funnel.closeSubpath();
    QLinearGradient fill(QPointF(2, 3), QPointF(18, 3));
    fill.setColorAt(0, kFunnel.lighter(130));
    fill.setColorAt(1, kFunnel.darker(115));
    painter.setPen(QPen(kOutline, kThinPen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(funnel);
}

void DrawBrowse(QPainter& painter) {
    const QRectF frame(1.5, 2.5, 17, 15);
    painter.setPen(QPen(kOutline, kThinPen));
    painter.setBrush(kPaper);
    painter.drawRect(frame);
    painter.setBrush(kWindowTitle);
    painter.drawRect(QRectF(frame.left(), frame.top(), frame.width(), 3));
    painter.setPen(QPen(kGlobeDark, kThinPen));
    constexpr std::array<qreal, 4> kLineRows = {8.5, 10.5, 12.5, 14.5};
    for (const qreal y : kLineRows) {
        painter.drawLine(QPointF(4, y), QPointF(15, y));
    }
}

void DrawOpenResults(QPainter& painter) {
    painter.setPen(QPen(kOutline, kThinPen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(kFolderDark);
    QPainterPath back;
    back.moveTo(1.5, 16.5);
    back.lineTo(1.5, 4.5);
    back.lineTo(6.5, 4.5);
    back.lineTo(8, 6);
    back.lineTo(15.5, 6);
    back.lineTo(15.5, 16.5);
    back.closeSubpath();
    painter.drawPath(back);
    painter.setBrush(kFolderLight);
    QPainterPath front;
    front.moveTo(1.5, 16.5);
    front.lineTo(4.5, 9.5);
    front.lineTo(18.5, 9.5);
    front.lineTo(15.5, 16.5);
    front.closeSubpath();
    painter.drawPath(front);
}

void DrawSaveResults(QPainter& painter) {
    painter.setPen(QPen(kOutline, kThinPen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(kDiskBlue);
    QPainterPath disk;
    disk.moveTo(2.5, 2.5);
    disk.lineTo(15.5, 2.5);
    disk.lineTo(17.5, 4.5);
    disk.lineTo(17.5, 17.5);
    disk.lineTo(2.5, 17.5);
    disk.closeSubpath();
    painter.drawPath(disk);
    painter.setBrush(kDiskLabel);
    painter.drawRect(QRectF(5.5, 2.5, 9, 6));
    painter.setBrush(kPaper);
    painter.drawRect(QRectF(5.5, 11.5, 9, 6));
    painter.setBrush(kDiskBlue);
    painter.drawRect(QRectF(11.5, 3.5, 2, 4));
}

void DrawDelete(QPainter& painter) {
    painter.setPen(QPen(kCrossRed, kThickPen + 0.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4, 4), QPointF(16, 16));
    painter.drawLine(QPointF(16, 4), QPointF(4, 16));
}

void DrawOptions(QPainter& painter) {
    constexpr int kTeeth = 8;
    constexpr qreal kFullTurn = 360.0;
    const QPointF centre(10, 10);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGear);
    painter.save();
    painter.translate(centre);
    for (int tooth = 0; tooth < kTeeth; ++tooth) {
        painter.drawRoundedRect(QRectF(-1.8, -9, 3.6, 5), 1, 1);
        painter.rotate(kFullTurn / kTeeth);
    }
    painter.restore();
    painter.setPen(QPen(kOutline, kThinPen));
    painter.drawEllipse(centre, 6, 6);
    painter.setBrush(kGearHole);
    painter.drawEllipse(centre, 2.5, 2.5);
}

void DrawMagnifier(QPainter& painter, const QPointF& centre, qreal radius) {
    painter.setPen(QPen(kHandle, radius * 0.7, Qt::SolidLine, Qt::RoundCap));
    const QPointF handleFrom = centre + QPointF(radius * 0.7, radius * 0.7);
    painter.drawLine(handleFrom, handleFrom + QPointF(radius, radius));
    painter.setPen(QPen(kOutline, radius * 0.3));
    painter.setBrush(kLensGlass);
    painter.drawEllipse(centre, radius, radius);
}

void DrawStateDisc(QPainter& painter, const QColor& colour) {
    painter.setPen(QPen(colour.darker(140), kThinPen));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
}

} // namespace

QPixmap AppPictures::ToolBarPicture(int commandId) {
    QPixmap pixmap = Canvas(kToolBarPictureSize, kToolBarPictureSize);
    QPainter painter(&pixmap);
    BeginPainting(painter, kToolBarPictureSize / kToolBarGrid, kToolBarPictureSize / kToolBarGrid);
    switch (commandId) {
    case kCmdOpen:
        DrawOpen(painter);
        break;
    case kCmdOpenNewWindow:
        DrawOpenNewWindow(painter);
        break;
    case kCmdValidate:
        DrawValidate(painter);
        break;
    case kCmdRefine:
        DrawRefine(painter);
        break;
    case kCmdBrowse:
        DrawBrowse(painter);
        break;
    case kCmdOpenResults:
        DrawOpenResults(painter);
        break;
    case kCmdSaveResults:
        DrawSaveResults(painter);
        break;
    case kCmdDelete:
        DrawDelete(painter);
        break;
    case kCmdOptions:
        DrawOptions(painter);
        break;
    default:
        painter.end();
        return QPixmap();
    }
    return pixmap;
}

QPixmap AppPictures::SearchButtonPicture(int pictureState) {
    QPixmap pixmap = Canvas(kSearchButtonWidth, kSearchButtonHeight);
    QPainter painter(&pixmap);
    BeginPainting(painter, 1.0, 1.0);
    const QRectF face(0.5, 0.5, kSearchButtonWidth - 1, kSearchButtonHeight - 1);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, kFaceLight);
    fill.setColorAt(1, kFaceDark);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRect(face);
    painter.setPen(QPen(kFrameLight, kThinPen));
    painter.drawLine(face.topLeft(), face.topRight());
    painter.drawLine(face.topLeft(), face.bottomLeft());
    painter.setPen(QPen(kFrameDark, kThinPen));
    painter.drawLine(face.bottomLeft(), face.bottomRight());
    painter.drawLine(face.topRight(), face.bottomRight());

    constexpr qreal kGlyphCentreX = 8.5;
    constexpr qreal kGlyphCentreY = 10.0;
    constexpr qreal kTextLeft = 15.0;
    constexpr qreal kTextRightMargin = 2.0;
    QString caption;
    if (pictureState == SearchSessionView::kButtonSearching) {
        painter.setPen(QPen(kStopRed.darker(130), kThinPen));
        painter.setBrush(kStopRed);
        painter.drawRoundedRect(QRectF(kGlyphCentreX - 4, kGlyphCentreY - 4, 8, 8), 1.5, 1.5);
        caption = QStringLiteral("Stop");
    } else {
        DrawMagnifier(painter, QPointF(kGlyphCentreX - 1, kGlyphCentreY - 1), 3.2);
        caption = QStringLiteral("Search");
    }
    // The largest bold font, up to kSearchFontPixels, in which the caption fits.
    const QRectF textBox(kTextLeft, 0, kSearchButtonWidth - kTextLeft - kTextRightMargin,
                         kSearchButtonHeight);
    QFont font;
    font.setBold(true);
    for (int pixels = kSearchFontPixels; pixels >= kSmallestFontPixels; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(caption) <= textBox.width()) {
            break;
        }
    }
    painter.setFont(font);
    painter.setPen(kButtonText);
    painter.drawText(textBox, Qt::AlignCenter, caption);
    return pixmap;
}

std::vector<QPixmap> AppPictures::StateIcons() {
    std::vector<QPixmap> icons;
    for (int state = 0; state < kStateIconCount; ++state) {
        QPixmap pixmap = Canvas(kStateIconSize, kStateIconSize);
        QPainter painter(&pixmap);
        BeginPainting(painter, kStateIconSize / kStateGrid, kStateIconSize / kStateGrid);
        const QPen mark(kWhite, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        switch (state) {
        case 0:
            painter.setPen(QPen(kStateGrey, kMediumPen));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QRectF(3.5, 3.5, 9, 9));
            break;
        case 1:
            DrawStateDisc(painter, kStateGreen);
            DrawCheck(painter, QPolygonF({QPointF(4.5, 8), QPointF(7, 11), QPointF(11.5, 5)}),
                      kWhite, 2.0);
            break;
        case 2:
            DrawStateDisc(painter, kStateRed);
            painter.setPen(mark);
            painter.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
            painter.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
            break;
        case 3: {
            DrawStateDisc(painter, kStateAmber);
            painter.setPen(mark);
            painter.setBrush(Qt::NoBrush);
            QPainterPath question;
            question.moveTo(5.8, 6.2);
            question.cubicTo(5.8, 3.6, 10.4, 3.6, 10.4, 6.2);
            question.cubicTo(10.4, 7.8, 8, 7.8, 8, 9.6);
            painter.drawPath(question);
            painter.setPen(Qt::NoPen);
            painter.setBrush(kWhite);
            painter.drawEllipse(QPointF(8, 12), 1.1, 1.1);
            break;
        }
        default:
            DrawStateDisc(painter, kStateBlue);
            painter.setPen(Qt::NoPen);
            painter.setBrush(kWhite);
            for (const qreal x : {5.0, 8.0, 11.0}) {
                painter.drawEllipse(QPointF(x, 8), 1.2, 1.2);
            }
            break;
        }
        painter.end();
        icons.push_back(pixmap);
    }
    return icons;
}

QPixmap AppPictures::ProgramPicture(int size) {
    QPixmap pixmap = Canvas(size, size);
    QPainter painter(&pixmap);
    BeginPainting(painter, size / kProgramGrid, size / kProgramGrid);
    DrawGlobe(painter, QRectF(3, 3, 46, 46));
    painter.setPen(QPen(kHandle, 8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(50, 50), QPointF(60, 60));
    painter.setPen(QPen(kOutline, 3.5));
    painter.setBrush(kLensGlass);
    painter.drawEllipse(QPointF(40, 40), 13, 13);
    return pixmap;
}

QIcon AppPictures::ProgramIcon() {
    QIcon icon;
    for (const int size : kProgramIconSizes) {
        icon.addPixmap(ProgramPicture(size));
    }
    return icon;
}
