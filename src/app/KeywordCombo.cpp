#include "app/KeywordCombo.h"

#include <QLineEdit>

KeywordCombo::KeywordCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The list holds the history only: typed keywords are not added to it, and it keeps the
    // history's order.
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (m_onEnter) {
            m_onEnter();
        }
    });
}

void KeywordCombo::SetOnDropDown(std::function<void()> handler) {
    m_onDropDown = std::move(handler);
}

void KeywordCombo::SetOnEnter(std::function<void()> handler) {
    m_onEnter = std::move(handler);
}

void KeywordCombo::showPopup() {
    if (m_onDropDown) {
        m_onDropDown();
    }
    QComboBox::showPopup();
}
