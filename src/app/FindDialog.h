#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The Find dialog: the text to find, which fields to search and whether letter case must
// match. Modeless; "&Find" hands text and flags (ResultFinder's bits) to its owner and closes,
// "&Cancel" only closes. Each opening makes a new dialog, which deletes itself when closed.
class FindDialog : public QDialog {
  public:
    static constexpr const char* kTitle = "Find";

    explicit FindDialog(QWidget* parent);

    // What "&Find" hands on: the edit's text (cut to the finder's longest) and the flags.
    void SetOnFind(std::function<void(const std::string&, uint32_t)> handler);

    QLineEdit& TextEdit() const;
    QCheckBox& TitleBox() const;
    QCheckBox& AddressBox() const;
    QCheckBox& SummaryBox() const;
    QCheckBox& MatchCaseBox() const;
    QPushButton& FindButton() const;
    QPushButton& CancelButton() const;

  private:
    void OnFind();
    uint32_t Flags() const;

    QLineEdit* m_text = nullptr;
    QCheckBox* m_title = nullptr;
    QCheckBox* m_address = nullptr;
    QCheckBox* m_summary = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_cancel = nullptr;
    std::function<void(const std::string&, uint32_t)> m_onFind;
};
