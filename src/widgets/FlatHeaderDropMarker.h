#pragma once

#include <QWidget>

// The red two-arrow marker that shows where a dragged column would land: a topmost popup 12
// pixels wide and 20 pixels taller than the header, cut to a downward arrow at the top and an
// upward arrow at the bottom.
class FlatHeaderDropMarker : public QWidget {
  public:
    // The name the marker window carries.
    static constexpr const char* kWindowClassName = "MFCFHDropWnd";
    static constexpr int kWidth = 12;
    // How much taller than the header the marker is.
    static constexpr int kExtraHeight = 20;

    FlatHeaderDropMarker(QWidget* owner, int headerHeight);

    // Places the marker's middle on the divider at globalX, vertically centred on globalMiddleY.
    void PlaceAt(int globalX, int globalMiddleY);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
