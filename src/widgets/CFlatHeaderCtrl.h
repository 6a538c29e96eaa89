#pragma once

#include "widgets/FlatHeaderPainter.h"
#include "widgets/FlatHeaderTypes.h"

#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class FlatHeaderDragPicture;
class FlatHeaderDropMarker;
class FlatHeaderListener;
class ReportImageList;

// The column header of the report control: every column drawn flat and etched, extra data per
// column (style byte, width limits, tip text), a sort mark, width limits kept while a divider is
// dragged, and its own column dragging with a floating picture and a red marker where the column
// would land. It reports clicks, drags, width changes and divider double-clicks to its listener
// and lets the listener decide what follows.
//
// Columns are addressed by header item index (insertion order); the display order maps display
// positions to item indexes.
class CFlatHeaderCtrl : public QWidget {
  public:
    explicit CFlatHeaderCtrl(QWidget* parent = nullptr);
    ~CFlatHeaderCtrl() override;

    void SetListener(FlatHeaderListener* listener);

    // Columns. InsertItem puts the column at index (the end when beyond it) and at display
    // position item.order; it returns the index, or -1 for a negative index. A new column has
    // style 0, limits that do not apply and no tip.
    int InsertItem(int index, const FlatHeaderItem& item);
    bool DeleteItem(int index);
    int GetItemCount() const;
    bool GetItem(int index, FlatHeaderItem& item) const;
    // Gives the column a new width (not below 0) and tells the listener when it changed.
    bool SetItemWidth(int index, int width);
    bool SetItemParam(int index, intptr_t param);
    // The column's rectangle in header coordinates; empty for an unknown index.
    QRect GetItemRect(int index) const;
    // The sum of all column widths.
    int GetTotalWidth() const;
    // Header item indexes in display order.
    std::vector<int> GetOrderArray() const;
    // Takes a new display order; false unless it holds every index once.
    bool SetOrderArray(const std::vector<int>& order);
    int OrderToIndex(int order) const;
    int IndexToOrder(int index) const;
    // Pictures for columns whose format has kHeaderFormatImage; not owned.
    void SetImageList(const ReportImageList* images);

    // Extra data. SetItemEx fits the width to the content (kHeaderStyleFitContent) and into the
    // limits (unless the column is fixed), then stores the data; false for an unknown index.
    bool SetItemEx(int index, const FlatHeaderItemEx& extra);
    bool GetItemEx(int index, FlatHeaderItemEx& extra) const;

    // The column that shows the sort mark (-1 for none) and its direction.
    void SetSortColumn(int index, bool ascending);
    int GetSortColumn(bool* ascending = nullptr) const;

    // Header-wide properties 1 to 6 (kHeaderProperty*). Returns 1, or 0 for another number.
    int SetProperty(int number, uint32_t value);
    uint32_t GetProperty(int number) const;

    // The drag state at the last drop: kHeaderDropOverHeader, kHeaderDropNotAllowed or
    // kHeaderDropOutside.
    int GetDropResult() const;
    // While a column is dragged: the display position it would land on, -1 for none.
    int GetDropPosition() const;
    bool IsDragging() const;

    // What lies under point (header coordinates); also notes it as the column under the mouse.
    FlatHeaderHit HitTest(const QPoint& point);
    // Reports a click on the column to the listener, as a click of the mouse does.
    void ClickItem(int index);

    QSize sizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    enum class MouseState {
        Idle,     // no button held on the header
        Pressed,  // left button held on a column; a click unless the pointer travels
        Refused,  // the listener refused the drag; the mouse is only held until release
        Dragging, // the column's picture follows the pointer
        Tracking, // a divider is being moved
    };

    FlatHeaderHit HitTestConst(const QPoint& point) const;
    int ColumnLeft(int order) const;
    QSize MarkSize() const;
    int Spacing() const;
    bool LimitsApply(int index) const;
    int ClampToLimits(int index, int width) const;
    void BeginDrag(const QPoint& point);
    void UpdateDrag(const QPoint& point);
    void SetDropPosition(int position);
    void EndDrag();
    void CancelDrag();
    void MoveColumn(int index, int position);
    void UpdateHoverCursor(const FlatHeaderHit& hit);
    QCursor OutsideCursor() const;

    FlatHeaderListener* m_listener = nullptr;
    const ReportImageList* m_images = nullptr;
    std::vector<FlatHeaderItem> m_items;
    std::vector<FlatHeaderItemEx> m_extra;
    std::vector<int> m_order;
    std::array<uint32_t, kHeaderPropertyLast + 1> m_properties{};
    int m_sortColumn = -1;
    bool m_sortAscending = true;
    FlatHeaderColors m_colors;

    // The column under the mouse at the last hit test.
    FlatHeaderHit m_hot;
    QPoint m_pressPoint;
    Qt::KeyboardModifiers m_pressKeys;
    MouseState m_state = MouseState::Idle;
    // The column pressed, dragged or tracked.
    int m_activeItem = -1;
    int m_trackStartX = 0;
    int m_trackStartWidth = 0;
    int m_dropState = kHeaderDropOverHeader;
    int m_dropResult = kHeaderDropOverHeader;
    int m_dropPosition = -1;
    std::unique_ptr<FlatHeaderDragPicture> m_picture;
    std::unique_ptr<FlatHeaderDropMarker> m_marker;
};
