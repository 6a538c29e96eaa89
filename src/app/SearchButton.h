#pragma once

#include <QAbstractButton>

// The Search button of the search bar, drawn by the program: a raised face with the glyph of
// its state (a magnifier while idle, a stop sign while searching) and its caption ("Search" or
// "Stop") written in the button's font, both drawn for the screen's pixel ratio; while it is
// held down, only a sunken frame.
class SearchButton : public QAbstractButton {
  public:
    // The narrowest face, the width of the original picture.
    static constexpr int kMinimumWidth = 50;
    static constexpr int kMinimumHeight = 20;

    explicit SearchButton(QWidget* parent = nullptr);

    // 1 idle, 2 searching (SearchSessionView::kButton*).
    void SetPictureState(int state);
    int PictureState() const;
    // As wide as the glyph and the longer caption need, and at least kMinimumWidth.
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void PaintSunken(QPainter& painter);
    void PaintRaised(QPainter& painter);

    int m_pictureState;
};
