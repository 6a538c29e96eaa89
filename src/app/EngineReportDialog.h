#pragma once

#include <QDialog>
#include <QTimer>

class EngineAccount;
class EngineChoiceList;
class QLabel;
class QTableWidget;

// The engine report of the current or last search as a table, one row per engine: its state
// in words, pages, status line, bytes, times, results, duplicates and the failure. A modeless
// window that follows a running search live and keeps the last search's account after it.
class EngineReportDialog : public QDialog {
  public:
    static constexpr const char* kTitle = "Engine Report";
    // How often the table follows a running search.
    static constexpr int kRefreshMs = 250;

    EngineReportDialog(const EngineAccount& account, QWidget* parent = nullptr);

    // Shows the account as it stands now.
    void Refresh();
    QTableWidget& Table();
    // The tick list that picks the engines of the next search.
    EngineChoiceList& Choice();

  private:
    const EngineAccount& m_account;
    QTableWidget* m_table;
    QLabel* m_empty;
    EngineChoiceList* m_choice;
    QTimer m_timer;
};
