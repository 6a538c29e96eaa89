#pragma once

#include <QKeyCombination>

#include <vector>

// The menus, the tool bar and the context menu as data: what each holds, in order, with the
// command texts, keys and tool tips.
struct MenuEntry {
    enum class Kind {
        Command,      // a command item
        Separator,    // a line between items
        SubMenuBegin, // the following items, up to SubMenuEnd, form a sub-menu named by text
        SubMenuEnd,
    };

    Kind kind = Kind::Command;
    int id = 0;
    // The item's text; for a command with a key, the key's name follows a tab.
    const char* text = "";
    // The accelerator, or an empty combination for none.
    QKeyCombination key;
    // The tool tip (also the accessible description), or nullptr for none.
    const char* tip = nullptr;
};

struct MenuDefinition {
    const char* title;
    std::vector<MenuEntry> entries;
};

class CommandTable {
  public:
    // A tool bar place for a separator.
    static constexpr int kToolBarSeparator = 0;

    // The main menu's menus in order: File, Edit, View, Tools, Help.
    static const std::vector<MenuDefinition>& MainMenu();
    // The results view's context menu.
    static const std::vector<MenuEntry>& ContextMenu();
    // The tool bar's buttons in order, kToolBarSeparator for a separator; the category combo
    // follows in the last place.
    static const std::vector<int>& ToolBar();
    // The command's entry in the main menu, or nullptr.
    static const MenuEntry* Find(int id);
    // True for the commands that need at least one result.
    static bool NeedsResults(int id);
    // What the command does, for assistive technology: its tool tip when it has one.
    static const char* Description(int id);
};
