#pragma once

#include <QStatusBar>

#include <string_view>

class QFrame;
class QLabel;
class QProgressBar;

// The status bar: pane 0 stretches and shows the program's texts ("Ready" when idle); pane 1
// is 100 pixels wide and empty, and during a search a progress indicator covers it.
// A screen reader reads each pane's accessible name, which is what the pane shows: the text,
// or the progress as "37 of 50".
class ProgressStatusBar : public QStatusBar {
  public:
    static constexpr int kProgressPaneWidth = 100;
    static constexpr std::string_view kIdleText = "Ready";

    explicit ProgressStatusBar(QWidget* parent = nullptr);

    void SetPaneText(std::string_view text);
    QString PaneText() const;
    // Creates the progress indicator over pane 1 when it does not exist yet.
    QProgressBar& Progress();
    // Nullptr until the first search.
    QProgressBar* ProgressIfCreated() const;
    void SetProgressRange(int lower, int upper);
    void StepProgress();
    void ResetProgress();

  private:
    // Names pane 1 and its indicator after the indicator's value and range.
    void NameProgress();

    QLabel* m_pane0;
    QFrame* m_pane1;
    QProgressBar* m_progress = nullptr;
};
