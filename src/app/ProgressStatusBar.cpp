#include "app/ProgressStatusBar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace {

constexpr int kProgressStep = 1;

} // namespace

ProgressStatusBar::ProgressStatusBar(QWidget* parent)
    : QStatusBar(parent), m_pane0(new QLabel(this)), m_pane1(new QFrame(this)) {
    setAccessibleName(QStringLiteral("Status bar"));
    setAccessibleDescription(
        QStringLiteral("What the program is doing, and the progress of a search"));
    m_pane0->setAccessibleName(QStringLiteral("Status"));
    m_pane0->setAccessibleDescription(QStringLiteral("The last message of the program"));
    m_pane0->setTextFormat(Qt::PlainText);
    m_pane0->setMinimumWidth(0);
    m_pane0->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(m_pane0, 1);
    m_pane1->setFixedWidth(kProgressPaneWidth);
    m_pane1->setAccessibleName(QStringLiteral("Progress"));
    m_pane1->setAccessibleDescription(QStringLiteral("Holds the progress of a search"));
    auto* layout = new QHBoxLayout(m_pane1);
    layout->setContentsMargins(0, 0, 0, 0);
    addPermanentWidget(m_pane1);
    SetPaneText(kIdleText);
}

void ProgressStatusBar::SetPaneText(std::string_view text) {
    m_pane0->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

QString ProgressStatusBar::PaneText() const {
    return m_pane0->text();
}

QProgressBar& ProgressStatusBar::Progress() {
    if (m_progress == nullptr) {
        m_progress = new QProgressBar(m_pane1);
        m_progress->setTextVisible(false);
        m_progress->setAccessibleName(QStringLiteral("Search progress"));
        m_progress->setAccessibleDescription(
            QStringLiteral("Results received out of the most one search gathers"));
        m_pane1->layout()->addWidget(m_progress);
        m_progress->show();
    }
    return *m_progress;
}

QProgressBar* ProgressStatusBar::ProgressIfCreated() const {
    return m_progress;
}

void ProgressStatusBar::SetProgressRange(int lower, int upper) {
    QProgressBar& progress = Progress();
    progress.setRange(lower, upper);
    progress.setValue(lower);
}

void ProgressStatusBar::StepProgress() {
    QProgressBar& progress = Progress();
    // A step past the end wraps to the start, as the platform's progress control does.
    int next = progress.value() + kProgressStep;
    if (next > progress.maximum()) {
        next = progress.minimum() + (next - progress.maximum());
    }
    progress.setValue(next);
}

void ProgressStatusBar::ResetProgress() {
    Progress().setValue(0);
}
