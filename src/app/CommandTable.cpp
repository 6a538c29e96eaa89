#include "app/CommandTable.h"

#include "app/AppCommands.h"

namespace {

using Kind = MenuEntry::Kind;

constexpr QKeyCombination kNoKey;

MenuEntry Command(int id, const char* text, QKeyCombination key = kNoKey,
                  const char* tip = nullptr) {
    MenuEntry entry;
    entry.kind = Kind::Command;
    entry.id = id;
    entry.text = text;
    entry.key = key;
    entry.tip = tip;
    return entry;
}

MenuEntry Separator() {
    MenuEntry entry;
    entry.kind = Kind::Separator;
    return entry;
}

MenuEntry SubMenu(const char* text) {
    MenuEntry entry;
    entry.kind = Kind::SubMenuBegin;
    entry.text = text;
    return entry;
}

MenuEntry SubMenuEnd() {
    MenuEntry entry;
    entry.kind = Kind::SubMenuEnd;
    return entry;
}

const char* const kTipRefine = "Refine search results further";
const char* const kTipOpen = "Link current browser window to the address of the selected item";
const char* const kTipOpenNewWindow =
    "Open a new browser window linking to the address of the selected item";
const char* const kTipBrowse = "Open browser window to show search results";
const char* const kTipValidate = "Check the validity of search results";
const char* const kTipDelete = "Delete all the selected items";
const char* const kTipSaveResults = "Save the search result";
const char* const kTipOpenResults = "Open a file with Vantorell 2001 saving format";
const char* const kTipOptions = "Set the options of Vantorell 2001";
const char* const kTipEngineReport = "Show what each search engine did in the last search";

// Descriptions of the commands without a tool tip.
const std::vector<std::pair<int, const char*>> kDescriptions = {
    {kCmdNewInstance, "Start another copy of the program"},
    {kCmdSaveAddress, "Save the address of the selected item as an Internet shortcut"},
    {kCmdExit, "Close the program"},
    {kCmdCopy, "Copy the title, address, summary and engine of the selected item"},
    {kCmdCopyAddress, "Copy the address of the selected item"},
    {kCmdFind, "Find text in the search results"},
    {kCmdFindNext, "Find the next item with the text"},
    {kCmdSelectAll, "Select every item"},
    {kCmdInvertSelection, "Select the items that are not selected, and deselect the others"},
    {kCmdShowGrids, "Show lines between the items"},
    {kCmdAlternateColors, "Show every other item in another colour"},
    {kCmdSortTitle, "Sort the search results by title"},
    {kCmdSortAddress, "Sort the search results by address"},
    {kCmdSortEngine, "Sort the search results by search engine"},
    {kCmdSortRelevance, "Sort the search results by how many engines found them, and how high"},
    {kCmdShowSummary, "Show the summary of each item under it"},
    {kCmdToolBar, "Show or hide the toolbar"},
    {kCmdStatusBar, "Show or hide the status bar"},
    {kCmdDeleteDuplicateTitles, "Delete the items whose title is listed before"},
    {kCmdDeleteDuplicateAddresses, "Delete the items whose address is listed before"},
    {kCmdDeleteInvalid, "Delete the items whose address proved invalid"},
    {kCmdUpdateEngines, "Add or replace search engine files"},
    {kCmdHelpIndex, "Open the help"},
    {kCmdFeedback, "Send feedback to the makers"},
    {kCmdSuggestEngine, "Suggest a search engine to the makers"},
    {kCmdTellFriend, "Tell a friend about the program"},
    {kCmdCheckUpdates, "Look for a newer version of the program"},
    {kCmdHomePage, "Open the program's home page"},
    {kCmdAbout, "Show the program's version and makers"},
};

std::vector<MenuDefinition> BuildMainMenu() {
    return {
        {"&File",
         {
             Command(kCmdNewInstance, "Open A New Vantorell 2001...\tCtrl+N", Qt::CTRL | Qt::Key_N),
             Separator(),
             Command(kCmdOpen, "Open...\tAlt+O", Qt::ALT | Qt::Key_O, kTipOpen),
             Command(kCmdOpenNewWindow, "Open in New Window...\tCtrl+E", Qt::CTRL | Qt::Key_E,
                     kTipOpenNewWindow),
             Command(kCmdSaveAddress, "&Save Address..."),
             Separator(),
             Command(kCmdOpenResults, "Open Results...\tCtrl+O", Qt::CTRL | Qt::Key_O,
                     kTipOpenResults),
             Command(kCmdSaveResults, "Save Results...\tCtrl+S", Qt::CTRL | Qt::Key_S,
                     kTipSaveResults),
             Separator(),
             Command(kCmdExit, "E&xit"),
         }},
        {"&Edit",
         {
             Command(kCmdCopy, "Copy\tCtrl+C", Qt::CTRL | Qt::Key_C),
             Command(kCmdCopyAddress, "&Copy Address"),
             Command(kCmdDelete, "Delete\tDEL", QKeyCombination(Qt::Key_Delete), kTipDelete),
             Separator(),
             Command(kCmdFind, "Find in Results...\tCtrl+F", Qt::CTRL | Qt::Key_F),
             Command(kCmdFindNext, "Find Next\tF3", QKeyCombination(Qt::Key_F3)),
             Separator(),
             Command(kCmdSelectAll, "Select All\tCtrl+A", Qt::CTRL | Qt::Key_A),
             Command(kCmdInvertSelection, "&Invert Selection"),
         }},
        {"&View",
         {
             Command(kCmdShowGrids, "Show &Grids"),
             Command(kCmdAlternateColors, "&Alternate Colors"),
             SubMenu("Sort &Results by"),
             Command(kCmdSortTitle, "&Title"),
             Command(kCmdSortAddress, "&Address"),
             Command(kCmdSortEngine, "Search &Engine"),
             Command(kCmdSortRelevance, "Relevance"),
             SubMenuEnd(),
             Separator(),
             Command(kCmdShowSummary, "Show S&ummary"),
             Command(kCmdToolBar, "&Toolbar"),
             Command(kCmdStatusBar, "&Status Bar"),
             Separator(),
             Command(kCmdEngineReport, "Engine &Report", kNoKey, kTipEngineReport),
         }},
        {"&Tools",
         {
             Command(kCmdRefine, "Refine...\tCtrl+R", Qt::CTRL | Qt::Key_R, kTipRefine),
             Separator(),
             Command(kCmdDeleteDuplicateTitles, "Delete duplicate &titles"),
             Command(kCmdDeleteDuplicateAddresses, "Delete duplicate &addresses"),
             Command(kCmdValidate, "Validate\tCtrl+V", Qt::CTRL | Qt::Key_V, kTipValidate),
             Command(kCmdDeleteInvalid, "Delete &invalid addresses"),
             Separator(),
             Command(kCmdBrowse, "Browse...\tCtrl+B", Qt::CTRL | Qt::Key_B, kTipBrowse),
             Separator(),
             Command(kCmdUpdateEngines, "Update Engines..."),
             Separator(),
             Command(kCmdOptions, "&Options...", kNoKey, kTipOptions),
         }},
        {"&Help",
         {
             Command(kCmdHelpIndex, "&Index...\tF1", QKeyCombination(Qt::Key_F1)),
             Separator(),
             Command(kCmdFeedback, "Send &Feedback..."),
             Command(kCmdSuggestEngine, "&Suggest A New Search Engine..."),
             Command(kCmdTellFriend, "&Tell a Friend..."),
             Command(kCmdCheckUpdates, "Check &Updates Now..."),
             Separator(),
             Command(kCmdHomePage, "Vantorell 2001 &HomePage..."),
             Command(kCmdAbout, "&About Vantorell 2001"),
         }},
    };
}

std::vector<MenuEntry> BuildContextMenu() {
    return {
        Command(kCmdOpen, "Open..."),
        Command(kCmdOpenNewWindow, "Open in New Window..."),
        Separator(),
        Command(kCmdCopy, "Copy"),
        Command(kCmdCopyAddress, "&Copy Address"),
        Command(kCmdSaveAddress, "&Save Address..."),
        Command(kCmdDelete, "Delete"),
        Separator(),
        Command(kCmdValidate, "Validate"),
        Separator(),
        SubMenu("Sort &Results by"),
        Command(kCmdSortTitle, "&Title"),
        Command(kCmdSortAddress, "&Address"),
        Command(kCmdSortEngine, "Search &Engine"),
        SubMenuEnd(),
    };
}

} // namespace

const std::vector<MenuDefinition>& CommandTable::MainMenu() {
    static const std::vector<MenuDefinition> menu = BuildMainMenu();
    return menu;
}

const std::vector<MenuEntry>& CommandTable::ContextMenu() {
    static const std::vector<MenuEntry> menu = BuildContextMenu();
    return menu;
}

const std::vector<int>& CommandTable::ToolBar() {
    static const std::vector<int> buttons = {
        kCmdOpen,          kCmdOpenNewWindow, kToolBarSeparator, kCmdValidate,    kCmdRefine,
        kCmdBrowse,        kToolBarSeparator, kCmdOpenResults,   kCmdSaveResults, kCmdDelete,
        kToolBarSeparator, kCmdOptions,       kToolBarSeparator,
    };
    return buttons;
}

const MenuEntry* CommandTable::Find(int id) {
    for (const MenuDefinition& menu : MainMenu()) {
        for (const MenuEntry& entry : menu.entries) {
            if (entry.kind == Kind::Command && entry.id == id) {
                return &entry;
            }
        }
    }
    return nullptr;
}

const char* CommandTable::Description(int id) {
    const MenuEntry* entry = Find(id);
    if (entry != nullptr && entry->tip != nullptr) {
        return entry->tip;
    }
    for (const auto& [command, description] : kDescriptions) {
        if (command == id) {
            return description;
        }
    }
    return "";
}

bool CommandTable::NeedsResults(int id) {
    return id >= kCmdFirstNeedingResults && id <= kCmdLastNeedingResults;
}
