#pragma once

#include "widgets/FlatHeaderPainter.h"
#include "widgets/FlatHeaderTypes.h"

#include <QWidget>

class ReportImageList;

// The floating picture of a column being dragged: a topmost popup that never takes the
// activation or the mouse, painted like the column in the header with a raised frame.
class FlatHeaderDragPicture : public QWidget {
  public:
    // The name the picture window carries.
    static constexpr const char* kWindowClassName = "MFCFHDragWnd";

    struct Content {
        FlatHeaderItem item;
        FlatHeaderColors colors;
        int spacing = 0;
        QSize markSize;
        const ReportImageList* images = nullptr;
        bool withMark = false;
        bool ascending = true;
    };

    // A picture owned by owner (the header), showing content, with owner's font.
    FlatHeaderDragPicture(QWidget* owner, Content content);

    // Moves the picture so that its middle lies on globalPoint.
    void CentreOn(const QPoint& globalPoint);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Content m_content;
};
