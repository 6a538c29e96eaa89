#include "widgets/ReportKeyHandler.h"

#include "widgets/CReportCtrl.h"
#include "widgets/ReportNotifier.h"

#include <QKeyEvent>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The platform's virtual-key codes.
constexpr uint32_t kVkBack = 0x08;
constexpr uint32_t kVkTab = 0x09;
constexpr uint32_t kVkReturn = 0x0D;
constexpr uint32_t kVkShift = 0x10;
constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkMenu = 0x12;
constexpr uint32_t kVkEscape = 0x1B;
constexpr uint32_t kVkSpace = 0x20;
constexpr uint32_t kVkPrior = 0x21;
constexpr uint32_t kVkNext = 0x22;
constexpr uint32_t kVkEnd = 0x23;
constexpr uint32_t kVkHome = 0x24;
constexpr uint32_t kVkLeft = 0x25;
constexpr uint32_t kVkUp = 0x26;
constexpr uint32_t kVkRight = 0x27;
constexpr uint32_t kVkDown = 0x28;
constexpr uint32_t kVkInsert = 0x2D;
constexpr uint32_t kVkDelete = 0x2E;
constexpr uint32_t kVkF1 = 0x70;
constexpr int kFunctionKeys = 24;

// Key-message flags: the scan code's byte, an extended key, and a key that was already down.
constexpr uint32_t kScanCodeMask = 0xFF;
constexpr uint32_t kExtendedKey = 0x0100;
constexpr uint32_t kPreviousKeyDown = 0x4000;

constexpr std::array<std::pair<int, uint32_t>, 20> kKeyTable{{
    {Qt::Key_Backspace, kVkBack}, {Qt::Key_Tab, kVkTab},       {Qt::Key_Return, kVkReturn},
    {Qt::Key_Enter, kVkReturn},   {Qt::Key_Shift, kVkShift},   {Qt::Key_Control, kVkControl},
    {Qt::Key_Alt, kVkMenu},       {Qt::Key_Escape, kVkEscape}, {Qt::Key_Space, kVkSpace},
    {Qt::Key_PageUp, kVkPrior},   {Qt::Key_PageDown, kVkNext}, {Qt::Key_End, kVkEnd},
    {Qt::Key_Home, kVkHome},      {Qt::Key_Left, kVkLeft},     {Qt::Key_Up, kVkUp},
    {Qt::Key_Right, kVkRight},    {Qt::Key_Down, kVkDown},     {Qt::Key_Insert, kVkInsert},
    {Qt::Key_Delete, kVkDelete},  {Qt::Key_Backtab, kVkTab},
}};

bool IsExtendedKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_Enter:
        return true;
    default:
        return false;
    }
}

} // namespace

uint32_t ReportKeyHandler::VirtualKey(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        // Letters and digits share their codes with upper-case ASCII.
        return static_cast<uint32_t>(qtKey);
    }
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + kFunctionKeys) {
        return kVkF1 + static_cast<uint32_t>(qtKey - Qt::Key_F1);
    }
    for (const auto& [key, code] : kKeyTable) {
        if (key == qtKey) {
            return code;
        }
    }
    return 0;
}

uint32_t ReportKeyHandler::KeyMessageFlags(const QKeyEvent& event) {
    uint32_t flags = event.nativeScanCode() & kScanCodeMask;
    if (IsExtendedKey(event.key())) {
        flags |= kExtendedKey;
    }
    if (event.isAutoRepeat()) {
        flags |= kPreviousKeyDown;
    }
    return flags;
}

bool ReportKeyHandler::KeyDown(CReportCtrl& control, const QKeyEvent& event) {
    ReportNotify notify;
    notify.header.code = kReportNotifyKeyDown;
    notify.keys = VirtualKey(event.key());
    notify.flags = KeyMessageFlags(event);
    notify.item = control.GetItemFromRow(control.GetFocusRow());
    notify.subItem = control.GetColumnSubItem(control.GetFocusColumn());
    notify.param = control.GetItemParam(notify.item);
    if (control.m_notifier->Notify(notify) != 0) {
        return true;
    }
    const bool ctrl = (event.modifiers() & Qt::ControlModifier) != 0;
    const bool shift = (event.modifiers() & Qt::ShiftModifier) != 0;
    // With no focus row yet, Down starts at the top.
    const int focus = std::max(-1, control.GetFocusRow());
    const int last = control.GetItemCount() - 1;
    switch (event.key()) {
    case Qt::Key_Down:
        if (focus < last) {
            MoveTo(control, focus + 1, ctrl, shift);
            control.EnsureVisible(control.GetItemFromRow(focus + 1), true);
        }
        return true;
    case Qt::Key_Up:
        if (focus > 0) {
            MoveTo(control, std::min(focus, last + 1) - 1, ctrl, shift);
            control.EnsureVisible(control.GetItemFromRow(control.GetFocusRow()), true);
        }
        return true;
    case Qt::Key_PageDown:
        PageDown(control, ctrl, shift);
        return true;
    case Qt::Key_PageUp:
        PageUp(control, ctrl, shift);
        return true;
    case Qt::Key_Home:
        Home(control, ctrl, shift);
        return true;
    case Qt::Key_End:
        End(control, ctrl, shift);
        return true;
    case Qt::Key_Space:
        if (focus >= 0 && focus <= last) {
            control.SelectRange(focus, focus,
                                kReportSelectApply | kReportSelectKeepOthers | kReportSelectNotify |
                                    (ctrl ? kReportSelectToggle : 0));
        }
        return true;
    case Qt::Key_Left:
        MoveFocusColumn(control, -1);
        return true;
    case Qt::Key_Right:
        MoveFocusColumn(control, 1);
        return true;
    default:
        return false;
    }
}

void ReportKeyHandler::MoveTo(CReportCtrl& control, int target, bool ctrl, bool shift) {
    if (ctrl) {
        control.SelectRange(target, target, 0);
        control.SetAnchorRow(target);
        return;
    }
    if (shift) {
        // Without an anchor the range starts at the old focus row.
        const int count = control.GetItemCount();
        int anchor = control.GetAnchorRow();
        if (anchor < 0 || anchor >= count) {
            const int focus = control.GetFocusRow();
            anchor = focus >= 0 && focus < count ? focus : target;
            control.SetAnchorRow(anchor);
        }
        control.SelectRange(target, anchor, kReportSelectApply | kReportSelectNotify);
        return;
    }
    control.SelectRange(target, target, kReportSelectApply | kReportSelectNotify);
    control.SetAnchorRow(target);
}

void ReportKeyHandler::PageDown(CReportCtrl& control, bool ctrl, bool shift) {
    if (control.GetItemCount() == 0) {
        return;
    }
    const auto lastWhole = [&control] {
        const int first = control.GetFirstVisibleRow();
        return std::min(control.GetItemCount() - 1,
                        first + std::max(1, control.GetWholeVisibleRows()) - 1);
    };
    if (control.GetFocusRow() == lastWhole()) {
        control.ScrollRows(ReportViewport::Command::PageDown);
    }
    MoveTo(control, lastWhole(), ctrl, shift);
}

void ReportKeyHandler::PageUp(CReportCtrl& control, bool ctrl, bool shift) {
    if (control.GetItemCount() == 0) {
        return;
    }
    if (control.GetFocusRow() == control.GetFirstVisibleRow()) {
        control.ScrollRows(ReportViewport::Command::PageUp);
    }
    MoveTo(control, control.GetFirstVisibleRow(), ctrl, shift);
}

void ReportKeyHandler::Home(CReportCtrl& control, bool ctrl, bool shift) {
    if (control.GetFocusRow() <= 0) {
        return;
    }
    control.ScrollRows(ReportViewport::Command::Top);
    if (!shift || control.GetAnchorRow() < 0 || control.GetAnchorRow() >= control.GetItemCount()) {
        control.SetAnchorRow(0);
    }
    control.SelectRange(0, control.GetAnchorRow(),
                        (ctrl ? 0 : kReportSelectApply) | kReportSelectNotify);
}

void ReportKeyHandler::End(CReportCtrl& control, bool ctrl, bool shift) {
    const int last = control.GetItemCount() - 1;
    if (last < 0) {
        return;
    }
    control.ScrollRows(ReportViewport::Command::Bottom);
    if (!shift || control.GetAnchorRow() < 0 || control.GetAnchorRow() > last) {
        control.SetAnchorRow(last);
    }
    control.SelectRange(control.GetAnchorRow(), last,
                        (ctrl ? 0 : kReportSelectApply) | kReportSelectNotify);
}

void ReportKeyHandler::MoveFocusColumn(CReportCtrl& control, int step) {
    const int count = static_cast<int>(control.GetColumnOrder().size());
    int position = control.GetFocusColumn() + step;
    while (position >= 0 && position < count && !CanTakeFocus(control, position)) {
        position += step;
    }
    if (position >= count) {
        // Right of the last column the focus column stays.
        return;
    }
    control.SetFocusColumn(std::max(-1, position));
    control.ScrollColumnIntoView(control.GetFocusColumn());
    control.RedrawItem(control.GetItemFromRow(control.GetFocusRow()));
}

bool ReportKeyHandler::CanTakeFocus(const CReportCtrl& control, int position) {
    ReportSubItem definition;
    if (!control.GetSubItem(control.GetColumnSubItem(position), definition)) {
        return false;
    }
    return (definition.format & kReportFormatNoFocus) == 0;
}
