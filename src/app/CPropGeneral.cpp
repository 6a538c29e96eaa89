#include "app/CPropGeneral.h"

#include "app/IntegerField.h"
#include "settings/OptionsStore.h"
#include "settings/QueryHistoryFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 32;

} // namespace

CPropGeneral::CPropGeneral(OptionsStore options, QWidget* parent)
    : OptionsPage(parent), m_options(std::move(options)), m_maxResult(new IntegerField),
      m_autoRemove(new QCheckBox), m_saveHistory(new QCheckBox), m_clear(new QPushButton) {
    auto* layout = new QVBoxLayout(this);

    auto* results = new QGroupBox(QStringLiteral("Result number:"));
    auto* resultsLayout = new QVBoxLayout(results);
    auto* maxRow = new QHBoxLayout;
    auto* maxLabel = new QLabel(QStringLiteral("Maximum results:"));
    maxLabel->setBuddy(m_maxResult);
    maxRow->addWidget(maxLabel);
    maxRow->addWidget(m_maxResult);
    maxRow->addStretch();
    resultsLayout->addLayout(maxRow);
    m_autoRemove->setText(QStringLiteral("Delete repeated addresses automatically"));
    resultsLayout->addWidget(m_autoRemove);
    layout->addWidget(results);

    auto* history = new QGroupBox(QStringLiteral("History"));
    auto* historyLayout = new QVBoxLayout(history);
    m_saveHistory->setText(QStringLiteral("Save Search History"));
    historyLayout->addWidget(m_saveHistory);
    auto* clearRow = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(
        QApplication::style()->standardIcon(QStyle::SP_TrashIcon).pixmap(kIconSize, kIconSize));
    clearRow->addWidget(icon);
    auto* hint =
        new QLabel(QStringLiteral("Click \"Clear\" button to remove history records of search"));
    hint->setWordWrap(true);
    clearRow->addWidget(hint, 1);
    m_clear->setText(QStringLiteral("&Clear"));
    clearRow->addWidget(m_clear);
    historyLayout->addLayout(clearRow);
    layout->addWidget(history);
    layout->addStretch();

    // The button follows the box only once the user clicks it; on first display it is enabled
    // whatever the box shows.
    connect(m_saveHistory, &QCheckBox::clicked, this,
            [this](bool checked) { m_clear->setEnabled(checked); });
    connect(m_clear, &QPushButton::clicked, this, [this] { OnClear(); });
}

void CPropGeneral::Load() {
    const OptionsStore& options = m_options;
    m_saveHistory->setChecked(options.GetQueryHistory());
    m_maxResult->SetValue(options.GetMaxResult());
    m_autoRemove->setChecked(options.GetAutoRemoveUrl());
}

std::string CPropGeneral::CheckFields() {
    return m_maxResult->Check(kMaxResultLowest, kMaxResultHighest, m_maxResultValue);
}

bool CPropGeneral::Save() {
    OptionsStore options = m_options;
    bool written = options.SetQueryHistory(m_saveHistory->isChecked());
    written = options.SetMaxResult(m_maxResultValue) && written;
    written = options.SetAutoRemoveUrl(m_autoRemove->isChecked()) && written;
    return written;
}

void CPropGeneral::OnClear() {
    QueryHistoryFile history(m_options.ProgramFolder());
    history.Clear();
    m_clear->setEnabled(false);
}

IntegerField& CPropGeneral::MaxResultField() {
    return *m_maxResult;
}

QCheckBox& CPropGeneral::AutoRemoveBox() {
    return *m_autoRemove;
}

QCheckBox& CPropGeneral::SaveHistoryBox() {
    return *m_saveHistory;
}

QPushButton& CPropGeneral::ClearButton() {
    return *m_clear;
}
