#include "app/CategoryPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <functional>

namespace {

// The icons are designed on a 16-unit grid, in the fixed categories' order.
const QColor kOutline(40, 52, 72);
const QColor kGlobeLight(150, 205, 255);
const QColor kGlobeDark(20, 90, 180);
const QColor kGlobeLines(235, 245, 255, 200);
const QColor kCanadaRed(215, 30, 40);
const QColor kUnionBlue(20, 40, 120);
const QColor kWhite(255, 255, 255);
const QColor kNote(60, 40, 140);
const QColor kDownload(40, 150, 60);
const QColor kTray(110, 118, 130);
const QColor kSky(120, 190, 250);
const QColor kHill(60, 150, 70);
const QColor kSun(250, 200, 40);
const QColor kPaper(252, 252, 248);
const QColor kPaperLine(150, 160, 175);
const QColor kLensGlass(200, 230, 255, 220);
const QColor kHandle(90, 60, 30);
const QColor kBookRed(180, 40, 40);
const QColor kBookGreen(40, 120, 60);
const QColor kBookBlue(40, 70, 160);
const QColor kDiscLight(235, 235, 245);
const QColor kDiscShine(170, 200, 240);
const QColor kScreen(40, 70, 130);
const QColor kCase(200, 200, 205);
const QColor kBubbleYellow(255, 230, 120);
const QColor kBubbleBlue(170, 210, 250);
const QColor kEnvelope(250, 245, 225);
const QColor kPhone(50, 50, 55);
const QColor kGavel(150, 95, 45);
const QColor kBall(245, 245, 245);
const QColor kChip(60, 65, 75);
const QColor kPins(200, 170, 60);
const QColor kStar(250, 190, 30);
const QColor kCarBody(200, 40, 40);
const QColor kWheel(30, 30, 30);
const QColor kWindowGlass(190, 225, 250);
const QColor kFolder(255, 215, 110);

constexpr qreal kGrid = 16.0;
constexpr qreal kPen = 1.0;

QPainterPath StarPath(const QPointF& centre, qreal outer, qreal inner) {
    constexpr int kPoints = 5;
    constexpr qreal kPi = 3.14159265358979;
    QPainterPath star;
    for (int corner = 0; corner < kPoints * 2; ++corner) {
        const qreal radius = (corner % 2 == 0) ? outer : inner;
        const qreal angle = -kPi / 2 + corner * kPi / kPoints;
        const QPointF point = centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
        if (corner == 0) {
            star.moveTo(point);
        } else {
            star.lineTo(point);
        }
    }
    star.closeSubpath();
    return star;
}

void Globe(QPainter& p, const QRectF& box) {
    QRadialGradient fill(box.center() - QPointF(box.width() / 4, box.height() / 4),
                         box.width() * 0.8);
    fill.setColorAt(0, kGlobeLight);
    fill.setColorAt(1, kGlobeDark);
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(fill);
    p.drawEllipse(box);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGlobeLines, kPen * 0.8));
    p.drawEllipse(box.adjusted(box.width() * 0.3, 0, -box.width() * 0.3, 0));
    p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
}

void TheWeb(QPainter& p) {
    Globe(p, QRectF(1.5, 1.5, 13, 13));
}

void TheWebCanada(QPainter& p) {
    Globe(p, QRectF(0.5, 0.5, 11, 11));
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kWhite);
    p.drawRect(QRectF(6.5, 8.5, 9, 7));
    p.setPen(Qt::NoPen);
    p.setBrush(kCanadaRed);
    p.drawRect(QRectF(7, 9, 2, 6));
    p.drawRect(QRectF(13, 9, 2, 6));
    p.drawPath(StarPath(QPointF(11, 12), 2.2, 1.0));
}

void TheWebUk(QPainter& p) {
    Globe(p, QRectF(0.5, 0.5, 11, 11));
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kUnionBlue);
    p.drawRect(QRectF(6.5, 8.5, 9, 7));
    p.setPen(QPen(kWhite, 2.0));
    p.drawLine(QPointF(11, 9), QPointF(11, 15));
    p.drawLine(QPointF(7, 12), QPointF(15, 12));
    p.setPen(QPen(kCanadaRed, 1.0));
    p.drawLine(QPointF(11, 9), QPointF(11, 15));
    p.drawLine(QPointF(7, 12), QPointF(15, 12));
}

void Mp3(QPainter& p) {
    p.setPen(QPen(kNote, 1.5));
    p.drawLine(QPointF(6.5, 11), QPointF(6.5, 2.5));
    p.drawLine(QPointF(13.5, 9.5), QPointF(13.5, 1.5));
    p.setPen(QPen(kNote, 2.5));
    p.drawLine(QPointF(6.5, 3), QPointF(13.5, 2));
    p.setPen(Qt::NoPen);
    p.setBrush(kNote);
    p.drawEllipse(QPointF(4.5, 12), 2.6, 2.1);
    p.drawEllipse(QPointF(11.5, 10.5), 2.6, 2.1);
}

void SoftwareDownload(QPainter& p) {
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kTray);
    p.drawRect(QRectF(1.5, 11.5, 13, 3));
    QPainterPath arrow;
    arrow.moveTo(6, 1.5);
    arrow.lineTo(10, 1.5);
    arrow.lineTo(10, 6);
    arrow.lineTo(13, 6);
    arrow.lineTo(8, 11);
    arrow.lineTo(3, 6);
    arrow.lineTo(6, 6);
    arrow.closeSubpath();
    p.setBrush(kDownload);
    p.drawPath(arrow);
}

void Images(QPainter& p) {
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kSky);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(kSun);
    p.drawEllipse(QPointF(11, 5.5), 1.8, 1.8);
    QPainterPath hills;
    hills.moveTo(2, 13);
    hills.lineTo(6, 7);
    hills.lineTo(9, 11);
    hills.lineTo(11, 9);
    hills.lineTo(14, 13);
    hills.closeSubpath();
    p.setBrush(kHill);
    p.drawPath(hills);
}

void FileSearch(QPainter& p) {
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 0.5, 10, 13));
    p.setPen(QPen(kPaperLine, kPen));
    for (const qreal y : {3.5, 5.5, 7.5}) {
        p.drawLine(QPointF(3.5, y), QPointF(9.5, y));
    }
    p.setPen(QPen(kHandle, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 12), QPointF(15, 15));
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kLensGlass);
    p.drawEllipse(QPointF(10, 10), 3, 3);
}

void Book(QPainter& p, const QRectF& box, const QColor& colour) {
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(colour);
    p.drawRect(box);
    p.setPen(QPen(colour.lighter(160), kPen));
    p.drawLine(QPointF(box.left() + 2, box.top() + 2), QPointF(box.right() - 2, box.top() + 2));
}

void BuyBooks(QPainter& p) {
    Book(p, QRectF(2.5, 1.5, 10, 12), kBookRed);
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 13.5, 9, 1.5));
}

void BuySoftware(QPainter& p) {
    QRadialGradient fill(QPointF(6, 6), 8);
    fill.setColorAt(0, kDiscLight);
    fill.setColorAt(1, kDiscShine);
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(fill);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(8, 8), 1.8, 1.8);
}

void BuyHardware(QPainter& p) {
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kCase);
    p.drawRect(QRectF(1.5, 1.5, 13, 10));
    p.setBrush(kScreen);
    p.drawRect(QRectF(3.5, 3.5, 9, 6));
    p.setBrush(kCase);
    p.drawRect(QRectF(5.5, 11.5, 5, 2));
    p.drawRect(QRectF(3.5, 13.5, 9, 1.5));
}

void Newsgroups(QPainter& p) {
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kBubbleBlue);
    p.drawRoundedRect(QRectF(5.5, 5.5, 10, 7), 2, 2);
    p.setBrush(kBubbleYellow);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0.5, 1.5, 10, 7), 2, 2);
    bubble.moveTo(3, 8.5);
    bubble.lineTo(2.5, 11.5);
    bubble.lineTo(5.5, 8.5);
    p.drawPath(bubble.simplified());
}

void EmailAddresses(QPainter& p) {
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kEnvelope);
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(1.5, 3.5), QPointF(8, 9), QPointF(14.5, 3.5)}));
}

void PhoneNumbers(QPainter& p) {
    QPainterPath handset;
    handset.moveTo(3, 2);
    handset.lineTo(6, 2);
    handset.lineTo(7, 5);
    handset.lineTo(5.5, 6.5);
    handset.cubicTo(6.5, 8.5, 7.5, 9.5, 9.5, 10.5);
    handset.lineTo(11, 9);
    handset.lineTo(14, 10);
    handset.lineTo(14, 13);
    handset.cubicTo(8, 14.5, 1.5, 8, 3, 2);
    handset.closeSubpath();
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kPhone);
    p.drawPath(handset);
}

void Auctions(QPainter& p) {
    p.save();
    p.translate(8, 7);
    p.rotate(-40);
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kGavel);
    p.drawRect(QRectF(-5, -3, 10, 5));
    p.drawRect(QRectF(-1, 2, 2, 8));
    p.restore();
    p.setBrush(kGavel.darker(130));
    p.drawRect(QRectF(1.5, 13.5, 8, 1.5));
}

void SportsNews(QPainter& p) {
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kBall);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kOutline);
    QPainterPath patch;
    constexpr int kCorners = 5;
    constexpr qreal kPi = 3.14159265358979;
    for (int corner = 0; corner < kCorners; ++corner) {
        const qreal angle = -kPi / 2 + corner * 2 * kPi / kCorners;
        const QPointF point = QPointF(8, 8) + QPointF(std::cos(angle), std::sin(angle)) * 2.6;
        if (corner == 0) {
            patch.moveTo(point);
        } else {
            patch.lineTo(point);
        }
    }
    patch.closeSubpath();
    p.drawPath(patch);
}

void HardwareReviews(QPainter& p) {
    p.setPen(QPen(kPins, kPen));
    for (const qreal x : {4.5, 7.5, 10.5}) {
        p.drawLine(QPointF(x, 1), QPointF(x, 15));
    }
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kChip);
    p.drawRect(QRectF(2.5, 3.5, 10, 9));
    p.setBrush(kStar);
    p.setPen(QPen(kStar.darker(150), kPen * 0.8));
    p.drawPath(StarPath(QPointF(11.5, 11.5), 4.3, 1.9));
}

void Cars(QPainter& p) {
    QPainterPath body;
    body.moveTo(1, 11);
    body.lineTo(1, 8);
    body.lineTo(4, 7.5);
    body.lineTo(6, 4.5);
    body.lineTo(11, 4.5);
    body.lineTo(13, 7.5);
    body.lineTo(15, 8);
    body.lineTo(15, 11);
    body.closeSubpath();
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kCarBody);
    p.drawPath(body);
    p.setBrush(kWindowGlass);
    p.drawRect(QRectF(6.5, 5.5, 4, 2));
    p.setBrush(kWheel);
    p.drawEllipse(QPointF(4.5, 11.5), 2, 2);
    p.drawEllipse(QPointF(11.5, 11.5), 2, 2);
}

void Encyclopedias(QPainter& p) {
    Book(p, QRectF(0.5, 2.5, 4.5, 12), kBookBlue);
    Book(p, QRectF(5.5, 1.5, 4.5, 13), kBookGreen);
    Book(p, QRectF(10.5, 3.5, 4.5, 11), kBookRed);
}

void AddedCategory(QPainter& p) {
    p.setPen(QPen(kOutline, kPen));
    p.setBrush(kFolder);
    QPainterPath folder;
    folder.moveTo(1.5, 13.5);
    folder.lineTo(1.5, 3.5);
    folder.lineTo(5.5, 3.5);
    folder.lineTo(7, 5);
    folder.lineTo(14.5, 5);
    folder.lineTo(14.5, 13.5);
    folder.closeSubpath();
    p.drawPath(folder);
    p.setBrush(kStar);
    p.setPen(QPen(kStar.darker(150), kPen * 0.8));
    p.drawPath(StarPath(QPointF(8, 9.5), 3.6, 1.6));
}

} // namespace

std::vector<QPixmap> CategoryPictures::Icons() {
    using Painting = std::function<void(QPainter&)>;
    const std::vector<Painting> paintings = {
        TheWeb,          TheWebCanada,   TheWebUk,      Mp3,           SoftwareDownload,
        Images,          FileSearch,     BuyBooks,      BuySoftware,   BuyHardware,
        Newsgroups,      EmailAddresses, PhoneNumbers,  Auctions,      SportsNews,
        HardwareReviews, Cars,           Encyclopedias, AddedCategory,
    };
    std::vector<QPixmap> icons;
    for (const Painting& painting : paintings) {
        QPixmap pixmap(kIconSize, kIconSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(kIconSize / kGrid, kIconSize / kGrid);
        painting(painter);
        painter.end();
        icons.push_back(pixmap);
    }
    return icons;
}
