#pragma once

// The numbers of the main window's commands (menus, tool bar, accelerators and context menu
// share them), its controls and its resources.

// File menu.
inline constexpr int kCmdNewInstance = 32780;
inline constexpr int kCmdOpen = 32766;
inline constexpr int kCmdOpenNewWindow = 32767;
inline constexpr int kCmdSaveAddress = 32771;
inline constexpr int kCmdOpenResults = 32781;
inline constexpr int kCmdSaveResults = 32779;
inline constexpr int kCmdExit = 57665;
// Edit menu.
inline constexpr int kCmdCopy = 32776;
inline constexpr int kCmdCopyAddress = 32762;
inline constexpr int kCmdDelete = 32778;
inline constexpr int kCmdFind = 32768;
inline constexpr int kCmdFindNext = 32769;
inline constexpr int kCmdSelectAll = 32763;
inline constexpr int kCmdInvertSelection = 32764;
// View menu.
inline constexpr int kCmdShowGrids = 32812;
inline constexpr int kCmdAlternateColors = 32813;
inline constexpr int kCmdSortTitle = 32808;
inline constexpr int kCmdSortAddress = 32809;
inline constexpr int kCmdSortEngine = 32810;
inline constexpr int kCmdSortRelevance = 33020;
inline constexpr int kCmdShowSummary = 32782;
inline constexpr int kCmdToolBar = 59392;
inline constexpr int kCmdStatusBar = 59393;
inline constexpr int kCmdEngineReport = 33001;
// Tools menu.
inline constexpr int kCmdRefine = 32765;
inline constexpr int kCmdDeleteDuplicateTitles = 32774;
inline constexpr int kCmdDeleteDuplicateAddresses = 32773;
inline constexpr int kCmdValidate = 32775;
inline constexpr int kCmdDeleteInvalid = 32772;
// Validates every row; has no menu entry (the Refine dialog sends it).
inline constexpr int kCmdValidateAll = 33000;
inline constexpr int kCmdBrowse = 32770;
inline constexpr int kCmdUpdateEngines = 32801;
inline constexpr int kCmdOptions = 32783;
// Help menu.
inline constexpr int kCmdHelpIndex = 32784;
inline constexpr int kCmdFeedback = 32785;
inline constexpr int kCmdSuggestEngine = 32786;
inline constexpr int kCmdTellFriend = 32787;
inline constexpr int kCmdCheckUpdates = 32788;
inline constexpr int kCmdHomePage = 32792;
inline constexpr int kCmdAbout = 57664;

// The commands from kCmdFirstNeedingResults to kCmdLastNeedingResults are enabled only while
// the result list holds at least one result.
inline constexpr int kCmdFirstNeedingResults = 32762;
inline constexpr int kCmdLastNeedingResults = 32779;

// The Search button of the search bar.
inline constexpr int kCtrlSearchButton = 1003;
