#pragma once

#include "app/OptionsPage.h"
#include "settings/OptionsStore.h"

class IntegerField;
class QCheckBox;
class QPushButton;

// The General page: how many results a search gathers, whether repeated addresses are dropped
// while searching, and the query history (keep it, and clear it at once).
class CPropGeneral : public OptionsPage {
  public:
    static constexpr int kMaxResultLowest = 1;
    static constexpr int kMaxResultHighest = 5000;
    static constexpr const char* kTitle = "General";

    explicit CPropGeneral(OptionsStore options, QWidget* parent = nullptr);

    std::string CheckFields() override;
    bool Save() override;

    IntegerField& MaxResultField();
    QCheckBox& AutoRemoveBox();
    QCheckBox& SaveHistoryBox();
    QPushButton& ClearButton();

  protected:
    void Load() override;

  private:
    OptionsStore m_options;
    void OnClear();

    IntegerField* m_maxResult;
    QCheckBox* m_autoRemove;
    QCheckBox* m_saveHistory;
    QPushButton* m_clear;
    // The number checked by CheckFields, written by Save.
    int m_maxResultValue = 0;
};
