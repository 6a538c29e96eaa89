#include "app/SearchButton.h"

#include "app/AppPictures.h"
#include "search/SearchSessionView.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

constexpr int kFocusInset = 2;
const char* const kIdleDescription = "Start a search for the keyword in the chosen category";
const char* const kSearchingDescription = "Stop the running search";

} // namespace

SearchButton::SearchButton(QWidget* parent)
    : QAbstractButton(parent), m_pictureState(SearchSessionView::kButtonIdle),
      m_idlePicture(AppPictures::SearchButtonPicture(SearchSessionView::kButtonIdle)),
      m_searchingPicture(AppPictures::SearchButtonPicture(SearchSessionView::kButtonSearching)) {
    setFixedSize(AppPictures::kSearchButtonWidth, AppPictures::kSearchButtonHeight);
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
    return QSize(AppPictures::kSearchButtonWidth, AppPictures::kSearchButtonHeight);
}

void SearchButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect face = rect();
    if (isDown()) {
        painter.fillRect(face, palette().color(QPalette::Button));
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(face.topLeft(), face.topRight());
        painter.drawLine(face.topLeft(), face.bottomLeft());
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(face.bottomLeft(), face.bottomRight());
        painter.drawLine(face.topRight(), face.bottomRight());
        return;
    }
    if (m_pictureState == SearchSessionView::kButtonSearching) {
        painter.drawPixmap(0, 0, m_searchingPicture);
    } else {
        painter.drawPixmap(0, 0, m_idlePicture);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = face.adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
