#pragma once

#include <QAbstractButton>
#include <QPixmap>

// The Search button of the search bar, drawn by the program: the picture of its state (idle
// or searching), or, while it is held down, only a sunken frame.
class SearchButton : public QAbstractButton {
  public:
    explicit SearchButton(QWidget* parent = nullptr);

    // 1 idle, 2 searching (SearchSessionView::kButton*).
    void SetPictureState(int state);
    int PictureState() const;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int m_pictureState;
    QPixmap m_idlePicture;
    QPixmap m_searchingPicture;
};
