#pragma once

#include "app/OptionsPage.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

class EngineCatalog;
class FlatImageCombo;
class QTreeWidget;

// The Search Engines page: the engines of one category with a check mark each for whether
// searches use them. Only the category shown at OK is written; marks changed in a category
// shown before are dropped when another is chosen.
class CPropEngine : public OptionsPage {
  public:
    static constexpr const char* kTitle = "Search Engines";
    static constexpr int kNameColumnWidth = 120;
    static constexpr int kUrlColumnWidth = 180;
    static constexpr int kHealthColumnWidth = 260;
    // The list widens the sheet up to this for its columns; past it, it scrolls sideways.
    static constexpr int kWidestList = 900;

    // mainCombo: the main window's category combo, whose categories and icons the page offers
    // and whose selection the catalogue returns to when the page goes.
    // programFolder holds the engine health file whose record the page shows.
    CPropEngine(EngineCatalog& catalog, const FlatImageCombo& mainCombo, std::string programFolder,
                QWidget* parent = nullptr);
    // Selects the main window's category in the catalogue again, so that the next search
    // finds the engines the main window shows.
    ~CPropEngine() override;

    bool Save() override;

    FlatImageCombo& CategoryCombo();
    QTreeWidget& EngineList();

  protected:
    void Load() override;

  private:
    void FillList();
    // Widens the columns to their texts.
    void FitColumns();
    static bool IsEnabled(std::string_view enable);
    // The health column's text: how the engine fared in its last searches.
    static std::string HealthText(const std::string& programFolder, std::string_view category,
                                  std::string_view engine);

    EngineCatalog& m_catalog;
    const FlatImageCombo& m_mainCombo;
    std::string m_mainCategory;
    FlatImageCombo* m_combo;
    QTreeWidget* m_list;
    std::string m_programFolder;
    // Engines the user ticked while the page was open, by category and name: their rest ends
    // at OK.
    std::set<std::pair<std::string, std::string>> m_ticked;
};
