#pragma once

class CFlatHeaderCtrl;

// The owner's side of a flat header: the header reports what the user did to its columns and
// the owner decides what follows. Column arguments are header item indexes.
class FlatHeaderListener {
  public:
    virtual ~FlatHeaderListener();
    // A column was clicked (button down and up on it without a drag).
    virtual void OnHeaderItemClick(CFlatHeaderCtrl& header, int item);
    // A column drag is about to begin; true refuses it.
    virtual bool OnHeaderBeginDrag(CFlatHeaderCtrl& header, int item);
    // A column drag ended; the drop state is in GetDropResult(). Returning 0 lets the header
    // move the column to its drop position.
    virtual int OnHeaderEndDrag(CFlatHeaderCtrl& header, int item);
    // A column's width changed, by the user or by a call.
    virtual void OnHeaderItemChanged(CFlatHeaderCtrl& header, int item);
    // A divider (the right edge of item) was double-clicked.
    virtual void OnHeaderDividerDoubleClick(CFlatHeaderCtrl& header, int item);
};
