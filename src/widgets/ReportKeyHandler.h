#pragma once

#include <cstdint>

class CReportCtrl;
class QKeyEvent;

// The report control's keyboard: arrows, pages, Home and End move the focus and the selection
// (with Ctrl and Shift), Space selects or toggles the focus row, Left and Right move the focus
// column. Every key is offered to the owner first.
class ReportKeyHandler {
  public:
    // Handles a key that went down while the control has the focus. False for a key the
    // control leaves to the default handling.
    static bool KeyDown(CReportCtrl& control, const QKeyEvent& event);
    // The platform's virtual-key code of a Qt key, as the key notification carries it; 0 for
    // keys without one.
    static uint32_t VirtualKey(int qtKey);
    // The key-message flags of the key notification: the scan code in bits 0-7, 0x0100 for an
    // extended key, 0x4000 when the key was already down (auto-repeat).
    static uint32_t KeyMessageFlags(const QKeyEvent& event);

  private:
    // Down, Up and the page keys: moves to target with Ctrl (focus only), Shift (range from
    // the anchor) or neither (target alone).
    static void MoveTo(CReportCtrl& control, int target, bool ctrl, bool shift);
    static void PageDown(CReportCtrl& control, bool ctrl, bool shift);
    static void PageUp(CReportCtrl& control, bool ctrl, bool shift);
    static void Home(CReportCtrl& control, bool ctrl, bool shift);
    static void End(CReportCtrl& control, bool ctrl, bool shift);
    static void MoveFocusColumn(CReportCtrl& control, int step);
    static bool CanTakeFocus(const CReportCtrl& control, int position);
};
