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
    m_pane0->setAccessibleDescription(QStringLiteral("Status: the last message of the program"));
    m_pane0->setTextFormat(Qt::PlainText);
    m_pane0->setMinimumWidth(0);
    m_pane0->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(m_pane0, 1);
    m_pane1->setFixedWidth(kProgressPaneWidth);
    // Until the first search the pane shows nothing and is named after what it is for.
    m_pane1->setAccessibleName(QStringLiteral("Progress"));
    m_pane1->setAccessibleDescription(
        QStringLiteral("Progress: results received out of the most one search gathers"));
    auto* layout = new QHBoxLayout(m_pane1);
    layout->setContentsMargins(0, 0, 0, 0);
    addPermanentWidget(m_pane1);
    SetPaneText(kIdleText);
}

void ProgressStatusBar::SetPaneText(std::string_view text) {
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    m_pane0->setText(shown);
    // Setting the name tells a screen reader that it changed.
    m_pane0->setAccessibleName(shown);
}

QString ProgressStatusBar::PaneText() const {
    return m_pane0->text();
}

QProgressBar& ProgressStatusBar::Progress() {
    if (m_progress == nullptr) {
        m_progress = new QProgressBar(m_pane1);
        m_progress->setTextVisible(false);
        // The text is not drawn; it is the value a screen reader reads.
        m_progress->setFormat(QStringLiteral("%v of %m"));
        m_progress->setAccessibleDescription(m_pane1->accessibleDescription());
        m_pane1->layout()->addWidget(m_progress);
        m_progress->show();
        connect(m_progress, &QProgressBar::valueChanged, this, [this] { NameProgress(); });
        NameProgress();
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
    progress.show();
    NameProgress();
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
    // Between searches the pane is empty again: an indicator at nought would only be an empty
    // framed box.
    Progress().setValue(0);
    m_progress->hide();
}

void ProgressStatusBar::NameProgress() {
    const QString shown = m_progress->text();
    if (m_pane1->accessibleName() != shown) {
        m_pane1->setAccessibleName(shown);
        m_progress->setAccessibleName(shown);
    }
}
