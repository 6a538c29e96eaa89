#pragma once

#include <QWidget>

#include <functional>
#include <string>

class KeywordCombo;
class QLabel;
class SearchButton;

// The search bar: the static text "Search:", the keyword combo and the Search button. The
// combo's list is refilled from the query history each time it drops down, oldest keyword
// first. The owner hears the button and Enter in the combo, and decides what they do.
class SearchBar : public QWidget {
  public:
    static constexpr int kBarHeight = 36;
    static constexpr int kLabelX = 8;
    static constexpr int kComboX = 80;
    static constexpr int kComboY = 6;
    // The combo is as wide as the bar less this.
    static constexpr int kComboWidthLess = 158;
    static constexpr int kComboDropDownHeight = 100;
    // The button's right edge lies this far from the bar's right edge, and its left edge at
    // least this far right of the combo.
    static constexpr int kButtonRightMargin = 8;
    static constexpr int kButtonGap = 20;
    static constexpr std::size_t kMaxKeywordLength = 254;

    // The keyword list comes from the query history of programFolder.
    explicit SearchBar(std::string programFolder, QWidget* parent = nullptr);

    // The keyword typed, as bytes (UTF-8), at most kMaxKeywordLength of them.
    std::string Keyword() const;
    void SetPictureState(int state);
    int PictureState() const;
    void SetOnSearch(std::function<void()> handler);
    void SetOnEnter(std::function<void()> handler);

    KeywordCombo& Combo();
    SearchButton& Button();
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void FillFromHistory();
    void Place();

    std::string m_programFolder;
    QLabel* m_label;
    KeywordCombo* m_combo;
    SearchButton* m_button;
};
