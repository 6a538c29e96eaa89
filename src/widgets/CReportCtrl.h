#pragma once

#include "widgets/ReportColors.h"
#include "widgets/ReportItemStore.h"
#include "widgets/ReportPalette.h"
#include "widgets/ReportRecords.h"
#include "widgets/ReportViewport.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CFlatHeaderCtrl;
class ProfileFile;
class ReportColumns;
class ReportCtrlListener;
class ReportHeaderHandler;
class ReportImageList;
class ReportKeyHandler;
class ReportMouseHandler;
class ReportNotifier;
class ReportPainter;
class ReportSelection;

// The report list: one row per item, columns defined by the owner and shown through a flat
// header that sorts on a click, multiple selection, per-cell images and text colours, and an
// optional area under each row (the preview) that the owner paints.
//
// Three index spaces: sub-item (a column definition, in definition order), item (insertion
// order, unchanged by sorting) and row (display position). Items are addressed by item index
// unless a row is named. Functions that look up an item or a row answer -2 for none.
//
// The control knows nothing about what it shows: every text, image and number comes from the
// owner, which hears what happens through a ReportCtrlListener. Texts are bytes, painted as
// UTF-8, and cut to 255 bytes when stored.
class CReportCtrl : public QWidget {
  public:
    // The name the control's window carries.
    static constexpr const char* kWindowClassName = "MFCReportCtrl";
    // The wheel setting that scrolls whole pages per notch.
    static constexpr uint32_t kWheelPageScroll = 0xFFFFFFFF;

    explicit CReportCtrl(QWidget* parent = nullptr);
    ~CReportCtrl() override;

    // --- The window -------------------------------------------------------------------------
    // Makes the control a visible child of parent (a window of its own without one) covering
    // rect, with the control styles in the low 16 bits of style. False when already created.
    bool Create(uint32_t style, const QRect& rect, QWidget* parent, int controlId);
    bool IsCreated() const;
    // Deletes every item (telling the listener of each) and hides the control.
    void DestroyWindow();
    void SetListener(ReportCtrlListener* listener);
    int GetControlId() const;
    uint32_t GetStyle() const;
    // Changes the control styles (kReportStyle*) and lays the control out again. The
    // position flags of the platform call have no use here.
    bool ModifyStyle(uint32_t remove, uint32_t add, uint32_t positionFlags = 0);
    CFlatHeaderCtrl& GetHeaderCtrl();

    // --- Columns ----------------------------------------------------------------------------
    // Inserts a definition at index (the later ones move up) and an empty cell into every
    // item. Returns the index, or -1 for a negative index. The update flag has no effect.
    int DefineSubItem(int index, const ReportSubItem& definition, bool update = true);
    int GetSubItemCount() const;
    bool GetSubItem(int subItem, ReportSubItem& definition) const;
    // Shows the sub-item as a header column at the display position. Returns the header item
    // index; -1 when it is already shown or does not exist.
    int ActivateSubItem(int subItem, int position);
    // Removes the sub-item's column; 1 on success, 0 when it is not shown.
    int DeactivateSubItem(int subItem);
    bool IsSubItemActive(int subItem) const;
    // The header item index that shows the sub-item, or -1.
    int GetHeaderIndex(int subItem) const;
    // Gives the sub-item a width (-1: the default 200) within its limits. Returns 1 when the
    // shown column was resized, 0 when the sub-item is not shown.
    int SetSubItemWidth(int subItem, int width = -1);
    // Applies the column layout saved in the profile's section and entry:
    // "(N,M,N widths,M sub-items in display order)". False, changing nothing, when the entry is
    // missing or empty, when N is not the number of definitions, when M is 0, or when the
    // entry ends before its last number.
    bool LoadLayout(const ProfileFile& profile, std::string_view section, std::string_view entry);
    // Header item indexes in display order.
    const std::vector<int>& GetColumnOrder() const;
    // The sub-item shown at a display position, or -1.
    int GetColumnSubItem(int position) const;
    // The sum of the shown columns' widths.
    int GetTotalWidth() const;

    // --- Palette and images -----------------------------------------------------------------
    // Inserts a colour at index (the later ones move up), or stores it at index, growing the
    // palette with black entries. Returns the index, or -1 for a negative index.
    int InsertColor(int index, const QColor& colour);
    // The palette colour at index; invalid for an unknown index.
    QColor GetColor(int index) const;
    // The pictures that cells and header columns refer to; the control and its header keep a
    // copy, so the list may go after the call.
    bool SetImageList(const ReportImageList* images);
    const ReportImageList* GetImageList() const;

    // --- Items ------------------------------------------------------------------------------
    // Inserts an item at item.item (0 to the item count) and applies the record to it. Returns
    // the index, or -2.
    int InsertItem(const ReportItem& item);
    bool DeleteItem(int item);
    bool DeleteAllItems();
    // Sets the cell item.subItem and the item fields that item.mask names. The state bits of
    // focus and selection are kept: they change only through selection.
    bool SetItem(const ReportItem& item);
    // Reads the cell item.subItem and the item fields; rebuilds item.mask.
    bool GetItem(ReportItem& item) const;
    // SetItem with kReportMaskText; nothing for a cell without text.
    bool SetItemText(int item, int subItem, std::optional<std::string_view> text);
    // The cell's text into buffer (at most size - 1 bytes and a zero byte). Returns the length
    // read; 0 and an empty buffer on failure or for a cell without text.
    int GetItemText(int item, int subItem, char* buffer, int size) const;
    // The cell's text (at most 255 bytes); empty on failure or for a cell without text.
    std::string GetItemText(int item, int subItem) const;
    // The owner's value of the item; 0 for an unknown item.
    uint32_t GetItemParam(int item) const;
    // The number of items, which is the number of rows.
    int GetItemCount() const;
    int GetItemFromRow(int row) const;
    int GetRowFromItem(int item) const;
    // Item indexes in display order.
    const std::vector<int>& GetRowOrder() const;
    // Repaints the item's row, preview included.
    void RedrawItem(int item);
    // Scrolls until the item's row is shown (wholly when wholeRows). False when it has no row.
    bool EnsureVisible(int item, bool wholeRows);
    // Fills hit and returns the item under hit.point, or -2.
    int HitTest(ReportHitTest& hit) const;
    // The height of text word-wrapped (tabs expanded) in font to the width of rect, or of the
    // total column width when there is no rect.
    int GetTextHeight(const QFont& font, std::string_view text, const QRect* rect = nullptr) const;
    // Whether the control holds the keyboard focus.
    bool HasFocus() const;

    // --- Selection and sorting --------------------------------------------------------------
    int GetFirstSelectedItem() const;
    // The next selected item after item in item order (not row order), or -2.
    int GetNextSelectedItem(int item) const;
    // Selected items in the order they were selected.
    const std::vector<int>& GetSelectionList() const;
    // Selects the item's row without telling the listener.
    void SelectItem(int item, bool keepOthers);
    // Toggles every row's selection, then puts the focus back where it was.
    void InvertSelection();
    // State bits of the item at row; new = (old & ~mask) | (state & mask), without repainting.
    uint32_t GetItemState(int row) const;
    void SetItemState(int row, uint32_t state, uint32_t mask);
    // Moves the focus to row first and, with kReportSelectApply, selects (or toggles) rows
    // first to last, clearing the others unless kReportSelectKeepOthers; with
    // kReportSelectNotify the listener may veto each change.
    void SelectRange(int first, int last, uint32_t flags);
    // Sorts the rows by the sub-item's cells and shows the sort mark. False for an unknown
    // sub-item or an empty list.
    bool SortItems(int subItem, bool ascending);
    // Shows the items in the order given (every item once), keeping the focus on its item. The
    // focus row, when it is in view, stays where it is on the screen, else the first row in
    // view does, so rows that move around them do not carry the user's place away. False,
    // changing nothing, when items is not an order of every item.
    bool OrderRows(const std::vector<int>& items);

    // --- Layout, for painting, input and assistive technology ----------------------------------
    int GetFocusRow() const;
    int GetAnchorRow() const;
    // The focus column as a display position, -1 for none.
    int GetFocusColumn() const;
    int GetFirstVisibleRow() const;
    // Rows shown wholly from the first visible row down.
    int GetWholeVisibleRows() const;
    // The height of a row without its preview.
    int GetRowHeight() const;
    // The height of row with its preview.
    int GetRowFullHeight(int row) const;
    int GetScrollX() const;
    // The client area: the control less its scroll bars.
    QRect GetClientRect() const;
    // The client area under the header.
    QRect GetRowArea() const;
    // Row's rectangle with its preview, in client coordinates; empty when it is not in view.
    QRect GetRowRect(int row) const;
    // The cell of row and header item column (without the preview); empty when not in view.
    QRect GetCellRect(int row, int column) const;
    const QFont& GetBoldFont() const;
    const ReportColors& GetColors() const;
    // Lines scrolled per wheel notch, or kWheelPageScroll; follows the desktop setting.
    uint32_t GetWheelScrollLines() const;
    void SetWheelScrollLines(uint32_t lines);
    // Scrolls the rows as the scroll bar's commands do.
    void ScrollRows(ReportViewport::Command command);
    // Scrolls horizontally to x pixels, within 0 and the total width less the client width.
    void ScrollToX(int x);
    // The window that shows a cut-off cell text; nullptr while none is shown.
    const QWidget* GetTipWindow() const;

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    friend class ReportHeaderHandler;
    friend class ReportHitTester;
    friend class ReportKeyHandler;
    friend class ReportMouseHandler;
    friend class ReportPainter;
    friend class ReportSelection;

    void RecalcRowHeight();
    void Layout();
    void OnScrolled();
    void HideTip();
    void RedrawRows(int first, int last);
    void SetAnchorRow(int row);
    void SetFocusColumn(int position);
    void ScrollColumnIntoView(int position);
    // Whether item.item and item.subItem name a cell.
    bool IsCell(const ReportItem& item) const;
    // Stores the fields of item into its record, without repainting; previewChanged tells
    // whether the rows' heights changed. False when item names no cell.
    bool WriteItem(const ReportItem& item, bool& previewChanged);
    void NotifyAccessibleReset() const;

    CFlatHeaderCtrl* m_header = nullptr;
    std::unique_ptr<ReportHeaderHandler> m_headerHandler;
    std::unique_ptr<ReportColumns> m_columns;
    std::unique_ptr<ReportSelection> m_selection;
    std::unique_ptr<ReportViewport> m_viewport;
    std::unique_ptr<ReportMouseHandler> m_mouse;
    std::unique_ptr<ReportNotifier> m_notifier;
    std::unique_ptr<ReportImageList> m_images;
    bool m_created = false;
    int m_controlId = 0;
    uint32_t m_style = 0;

    ReportItemStore m_store;
    ReportPalette m_palette;
    ReportColors m_colors;
    QFont m_boldFont;
    int m_rowHeight = 0;

    bool m_hasFocus = false;
};
