#include "app/SearchBar.h"

#include "app/KeywordCombo.h"
#include "app/SearchButton.h"
#include "model/Utf8Cut.h"
#include "settings/QueryHistoryFile.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>

#include <algorithm>

namespace {

// The narrowest bar that still shows the label, some of the combo and the button.
constexpr int kMinimumWidth = 300;
constexpr int kPreferredWidth = 600;

} // namespace

SearchBar::SearchBar(std::string programFolder, QWidget* parent)
    : QWidget(parent), m_programFolder(std::move(programFolder)),
      m_label(new QLabel(QStringLiteral("Search:"), this)), m_combo(new KeywordCombo(this)),
      m_button(new SearchButton(this)) {
    setAccessibleName(QStringLiteral("Search bar"));
    setAccessibleDescription(QStringLiteral("The keyword and the Search button"));
    m_label->setBuddy(m_combo);
    m_combo->setAccessibleName(QStringLiteral("Keyword"));
    m_combo->setAccessibleDescription(
        QStringLiteral("The keyword to search for; the list holds the last ten keywords"));
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo->SetOnDropDown([this] { FillFromHistory(); });
    setFixedHeight(kBarHeight);
    Place();
}

std::string SearchBar::Keyword() const {
    std::string keyword = m_combo->currentText().toUtf8().toStdString();
    keyword.resize(Utf8Cut::Length(keyword, kMaxKeywordLength));
    return keyword;
}

void SearchBar::SetPictureState(int state) {
    m_button->SetPictureState(state);
    update();
}

int SearchBar::PictureState() const {
    return m_button->PictureState();
}

void SearchBar::SetOnSearch(std::function<void()> handler) {
    QObject::connect(m_button, &QAbstractButton::clicked, this,
                     [handler = std::move(handler)] { handler(); });
}

void SearchBar::SetOnEnter(std::function<void()> handler) {
    m_combo->SetOnEnter(std::move(handler));
}

KeywordCombo& SearchBar::Combo() {
    return *m_combo;
}

SearchButton& SearchBar::Button() {
    return *m_button;
}

QSize SearchBar::sizeHint() const {
    return QSize(kPreferredWidth, kBarHeight);
}

QSize SearchBar::minimumSizeHint() const {
    return QSize(kMinimumWidth, kBarHeight);
}

void SearchBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Place();
}

void SearchBar::FillFromHistory() {
    // The typed text stays: only the list below it changes.
    const QString typed = m_combo->currentText();
    m_combo->clear();
    QueryHistoryFile history(m_programFolder);
    std::string keyword;
    while (history.GetNext(keyword) != 0) {
        m_combo->addItem(QString::fromUtf8(keyword.data(), static_cast<qsizetype>(keyword.size())));
    }
    m_combo->setEditText(typed);
    // The drop-down list is about kComboDropDownHeight pixels high.
    const int rowHeight = std::max(1, m_combo->view()->sizeHintForRow(0));
    m_combo->setMaxVisibleItems(std::max(1, kComboDropDownHeight / rowHeight));
}

void SearchBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The frame gives the bar the tool bar's font at its first paint; the combo and the button
    // take their sizes from it.
    if (event->type() == QEvent::FontChange) {
        Place();
    }
}

void SearchBar::Place() {
    const int comboHeight = m_combo->sizeHint().height();
    setFixedHeight(std::max(kBarHeight, kComboY + comboHeight + kComboY));
    // The button stands as high as the keyword box and level with it, and as wide as its
    // caption needs in the bar's font; the box gives way to a wider button.
    const int buttonWidth = m_button->sizeHint().width();
    const int buttonX = width() - kButtonRightMargin - buttonWidth;
    m_button->setGeometry(buttonX, kComboY, buttonWidth, comboHeight);
    const int comboWidth = std::min(width() - kComboWidthLess, buttonX - kButtonGap - kComboX);
    m_combo->setGeometry(kComboX, kComboY, std::max(0, comboWidth), comboHeight);
    const QSize labelSize = m_label->sizeHint();
    m_label->setGeometry(kLabelX, kComboY + (comboHeight - labelSize.height()) / 2,
                         labelSize.width(), labelSize.height());
}
