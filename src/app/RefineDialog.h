#pragma once

#include "results/RefineCommands.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QPushButton;

// The Refine dialog: which of delete duplicate titles, delete duplicate addresses and validate
// to run, all checked at first. Modeless; "&Refine" hands the choice to its owner and closes,
// "&Cancel" only closes. Each opening makes a new dialog, which deletes itself when closed.
class RefineDialog : public QDialog {
  public:
    static constexpr const char* kTitle = "Refine";

    explicit RefineDialog(QWidget* parent);

    void SetOnRefine(std::function<void(const RefineCommands::RefineChoice&)> handler);

    QCheckBox& TitlesBox() const;
    QCheckBox& AddressesBox() const;
    QCheckBox& ValidateBox() const;
    QPushButton& RefineButton() const;
    QPushButton& CancelButton() const;

  private:
    void OnRefine();

    QCheckBox* m_titles = nullptr;
    QCheckBox* m_addresses = nullptr;
    QCheckBox* m_validate = nullptr;
    QPushButton* m_refine = nullptr;
    QPushButton* m_cancel = nullptr;
    std::function<void(const RefineCommands::RefineChoice&)> m_onRefine;
};
