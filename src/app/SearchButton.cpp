#include "app/SearchButton.h"

#include "app/AppPictures.h"
#include "search/SearchSessionView.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace {

constexpr int kFocusInset = 2;
// The glyph stands this far from the left edge, the caption this far right of the glyph and
// from the right edge.
constexpr int kGlyphLeft = 3;
constexpr int kCaptionGap = 3;
constexpr int kCaptionRightMargin = 4;
// The face shades from a little lighter than the button colour at the top to a little darker
// at the bottom (percentages as QColor::lighter and darker take them).
constexpr int kFaceTopLighter = 108;
constexpr int kFaceBottomDarker = 112;
const char* const kIdleCaption = "Search";
const char* const kSearchingCaption = "Stop";
const char* const kIdleDescription = "Start a search for the keyword in the chosen category";
const char* const kSearchingDescription = "Stop the running search";

} // namespace

SearchButton::SearchButton(QWidget* parent)
    : QAbstractButton(parent), m_pictureState(SearchSessionView::kButtonIdle) {
    setFocusPolicy(Qt::StrongFocus);
    setText(QStringLiteral("&Search"));
    setAccessibleName(QStringLiteral("Search"));
    setAccessibleDescription(QString::fromLatin1(kIdleDescription));
}

void SearchButton::SetPictureState(int state) {
    m_pictureState = state;
    if (state == SearchSessionView::kButtonSearching) {
        setAccessibleDescription(QString::fromLatin1(kSearchingDescription));
    } else {
        setAccessibleDescription(QString::fromLatin1(kIdleDescription));
    }
    update();
}

int SearchButton::PictureState() const {
    return m_pictureState;
}

QSize SearchButton::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const int caption = std::max(metrics.horizontalAdvance(QString::fromLatin1(kIdleCaption)),
                                 metrics.horizontalAdvance(QString::fromLatin1(kSearchingCaption)));
    const int width =
        kGlyphLeft + AppPictures::kSearchGlyphSize + kCaptionGap + caption + kCaptionRightMargin;
    const int height = std::max(metrics.height(), AppPictures::kSearchGlyphSize);
    return QSize(std::max(kMinimumWidth, width), std::max(kMinimumHeight, height));
}

void SearchButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (isDown()) {
        PaintSunken(painter);
        return;
    }
    PaintRaised(painter);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void SearchButton::PaintSunken(QPainter& painter) {
    const QRect face = rect();
    painter.fillRect(face, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(face.topLeft(), face.topRight());
    painter.drawLine(face.topLeft(), face.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(face.bottomLeft(), face.bottomRight());
    painter.drawLine(face.topRight(), face.bottomRight());
}

void SearchButton::PaintRaised(QPainter& painter) {
    const QRect face = rect();
    const QColor button = palette().color(QPalette::Button);
    QLinearGradient shade(face.topLeft(), face.bottomLeft());
    shade.setColorAt(0, button.lighter(kFaceTopLighter));
    shade.setColorAt(1, button.darker(kFaceBottomDarker));
    painter.fillRect(face, shade);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(face.topLeft(), face.topRight());
    painter.drawLine(face.topLeft(), face.bottomLeft());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(face.bottomLeft(), face.bottomRight());
    painter.drawLine(face.topRight(), face.bottomRight());

    // The glyph is drawn for this screen's pixel ratio, so it is sharp at 2x.
    const QPixmap glyph = AppPictures::SearchButtonGlyph(m_pictureState, devicePixelRatioF());
    const int glyphTop = (height() - AppPictures::kSearchGlyphSize) / 2;
    painter.drawPixmap(kGlyphLeft, glyphTop, glyph);

    const int captionLeft = kGlyphLeft + AppPictures::kSearchGlyphSize + kCaptionGap;
    const QRect captionBox(captionLeft, 0, width() - captionLeft - kCaptionRightMargin, height());
    const bool searching = m_pictureState == SearchSessionView::kButtonSearching;
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.setFont(font());
    painter.drawText(captionBox, Qt::AlignCenter,
                     QString::fromLatin1(searching ? kSearchingCaption : kIdleCaption));
}
