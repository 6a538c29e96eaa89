#pragma once

#include <QComboBox>

#include <functional>

// The editable keyword combo of the search bar. It tells its owner when its list is about to
// drop down, so the owner can fill the list first, and when Enter is pressed in it.
class KeywordCombo : public QComboBox {
  public:
    explicit KeywordCombo(QWidget* parent = nullptr);

    void SetOnDropDown(std::function<void()> handler);
    void SetOnEnter(std::function<void()> handler);
    void showPopup() override;

  private:
    std::function<void()> m_onDropDown;
    std::function<void()> m_onEnter;
};
