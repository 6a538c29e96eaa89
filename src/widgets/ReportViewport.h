#pragma once

#include <QRect>

#include <functional>

class CReportCtrl;
class QScrollBar;

// The geometry and scrolling of a report control: its client area beside the scroll bars, the
// row area under the header, the first visible row (rows scroll vertically a whole row at a
// time) and the horizontal position in pixels.
//
// Rows have different heights (their previews), so every page is counted row by row from the
// control's row heights. Positions never go past the first row of the last full page, so no
// space is left below the last row.
class ReportViewport {
  public:
    // Scrolling commands of the vertical direction.
    enum class Command { LineUp, LineDown, PageUp, PageDown, Top, Bottom };

    // Makes the two scroll bars as children of control. onScrolled runs after every change of
    // a scroll position.
    ReportViewport(CReportCtrl& control, std::function<void()> onScrolled);
    // The bars stay with the control until it goes; they stop reporting here.
    ~ReportViewport();
    ReportViewport(const ReportViewport&) = delete;
    ReportViewport& operator=(const ReportViewport&) = delete;

    // Lays the scroll bars out for the control's size, the header's height and the total
    // column width, and pulls the positions back into their ranges.
    void Layout(int headerHeight, int totalWidth);
    // Refreshes the vertical range after rows came, went or changed height.
    void RefreshVertical();

    QRect ClientRect() const;
    QRect RowArea() const;
    int FirstRow() const;
    int ScrollX() const;
    // The first row of the last full page.
    int MaxFirstRow() const;
    // Rows wholly shown from first down.
    int WholeRowsFrom(int first) const;
    // The last row that is at least partly shown, or -1 without rows.
    int LastVisibleRow() const;
    // The first row that a command scrolls to.
    int Target(Command command) const;
    // The first row that shows row as the last one (wholly, when wholeRows), or the current
    // first row when row is already shown.
    int FirstRowShowing(int row, bool wholeRows) const;
    // Row's rectangle with its preview in client coordinates; empty when it is not in view.
    QRect RowRect(int row) const;

    void SetFirstRow(int row);
    void SetScrollX(int x);
    // One eighth of the client width: a line of horizontal scrolling.
    int HorizontalLine() const;

  private:
    void ApplyVerticalBar();
    // The same, with the MaxFirstRow() the caller has worked out already.
    void ApplyVerticalBar(int last);
    void ApplyHorizontalBar();
    void OnVerticalAction(int action);
    void OnHorizontalAction(int action);
    int AreaHeight() const;
    int MaxScrollX() const;

    CReportCtrl& m_control;
    std::function<void()> m_onScrolled;
    QScrollBar* m_vertical = nullptr;
    QScrollBar* m_horizontal = nullptr;
    QRect m_client;
    int m_headerHeight = 0;
    int m_totalWidth = 0;
    int m_firstRow = 0;
    int m_scrollX = 0;
};
