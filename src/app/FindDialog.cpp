#include "app/FindDialog.h"

#include "model/Utf8Cut.h"
#include "results/ResultFinder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setAccessibleName(QString::fromLatin1(kTitle));
    setAccessibleDescription(QStringLiteral("Finds a text in the titles, addresses or summaries"));

    auto* label = new QLabel(QStringLiteral("Find What:"), this);
    m_text = new QLineEdit(this);
    m_text->setMaxLength(static_cast<int>(ResultFinder::kMaxTextLength));
    m_text->setAccessibleName(QStringLiteral("Find What"));
    label->setBuddy(m_text);

    auto* group = new QGroupBox(QStringLiteral("Find in"), this);
    m_title = new QCheckBox(QStringLiteral("&Title"), group);
    m_address = new QCheckBox(QStringLiteral("&Address"), group);
    m_summary = new QCheckBox(QStringLiteral("&Summary"), group);
    const uint32_t initial = ResultFinder::kInitialFlags;
    m_title->setChecked((initial & ResultFinder::kSearchTitles) != 0);
    m_address->setChecked((initial & ResultFinder::kSearchAddresses) != 0);
    m_summary->setChecked((initial & ResultFinder::kSearchSummaries) != 0);
    auto* fields = new QHBoxLayout(group);
    fields->addWidget(m_title);
    fields->addWidget(m_address);
    fields->addWidget(m_summary);
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setChecked((initial & ResultFinder::kMatchCase) != 0);

    m_find = new QPushButton(QStringLiteral("&Find"), this);
    m_find->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(label);
    textRow->addWidget(m_text);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_find);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addLayout(textRow);
    left->addWidget(group);
    left->addWidget(m_matchCase);
    auto* whole = new QHBoxLayout(this);
    whole->addLayout(left);
    whole->addLayout(buttons);

    QObject::connect(m_find, &QPushButton::clicked, this, [this] { OnFind(); });
    QObject::connect(m_cancel, &QPushButton::clicked, this, [this] { close(); });
}

void FindDialog::SetOnFind(std::function<void(const std::string&, uint32_t)> handler) {
    m_onFind = std::move(handler);
}

uint32_t FindDialog::Flags() const {
    uint32_t flags = 0;
    if (m_title->isChecked()) {
        flags |= ResultFinder::kSearchTitles;
    }
    if (m_address->isChecked()) {
        flags |= ResultFinder::kSearchAddresses;
    }
    if (m_summary->isChecked()) {
        flags |= ResultFinder::kSearchSummaries;
    }
    if (m_matchCase->isChecked()) {
        flags |= ResultFinder::kMatchCase;
    }
    return flags;
}

void FindDialog::OnFind() {
    const std::string text = m_text->text().toStdString();
    const uint32_t flags = Flags();
    // Closed first: the search's message boxes then stand over the window, not the dialog.
    close();
    if (m_onFind) {
        m_onFind(std::string(Utf8Cut::Prefix(text, ResultFinder::kMaxTextLength)), flags);
    }
}

QLineEdit& FindDialog::TextEdit() const {
    return *m_text;
}

QCheckBox& FindDialog::TitleBox() const {
    return *m_title;
}

QCheckBox& FindDialog::AddressBox() const {
    return *m_address;
}

QCheckBox& FindDialog::SummaryBox() const {
    return *m_summary;
}

QCheckBox& FindDialog::MatchCaseBox() const {
    return *m_matchCase;
}

QPushButton& FindDialog::FindButton() const {
    return *m_find;
}

QPushButton& FindDialog::CancelButton() const {
    return *m_cancel;
}
