#include "app/RefineDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

RefineDialog::RefineDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setAccessibleName(QString::fromLatin1(kTitle));
    setAccessibleDescription(
        QStringLiteral("Deletes repeated results and validates the addresses at once"));

    const RefineCommands::RefineChoice initial;
    m_titles = new QCheckBox(QStringLiteral("Delete duplicate titles"), this);
    m_titles->setChecked(initial.deleteDuplicateTitles);
    m_addresses = new QCheckBox(QStringLiteral("Delete duplicate addresses"), this);
    m_addresses->setChecked(initial.deleteDuplicateAddresses);
    m_validate = new QCheckBox(QStringLiteral("Validate"), this);
    m_validate->setChecked(initial.validate);
    m_refine = new QPushButton(QStringLiteral("&Refine"), this);
    m_refine->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);

    auto* boxes = new QVBoxLayout;
    boxes->addWidget(m_titles);
    boxes->addWidget(m_addresses);
    boxes->addWidget(m_validate);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_refine);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* whole = new QHBoxLayout(this);
    whole->addLayout(boxes);
    whole->addLayout(buttons);

    QObject::connect(m_refine, &QPushButton::clicked, this, [this] { OnRefine(); });
    QObject::connect(m_cancel, &QPushButton::clicked, this, [this] { close(); });
}

void RefineDialog::SetOnRefine(std::function<void(const RefineCommands::RefineChoice&)> handler) {
    m_onRefine = std::move(handler);
}

void RefineDialog::OnRefine() {
    RefineCommands::RefineChoice choice;
    choice.deleteDuplicateTitles = m_titles->isChecked();
    choice.deleteDuplicateAddresses = m_addresses->isChecked();
    choice.validate = m_validate->isChecked();
    // Closed first: the steps' message boxes then stand over the window, not the dialog.
    close();
    if (m_onRefine) {
        m_onRefine(choice);
    }
}

QCheckBox& RefineDialog::TitlesBox() const {
    return *m_titles;
}

QCheckBox& RefineDialog::AddressesBox() const {
    return *m_addresses;
}

QCheckBox& RefineDialog::ValidateBox() const {
    return *m_validate;
}

QPushButton& RefineDialog::RefineButton() const {
    return *m_refine;
}

QPushButton& RefineDialog::CancelButton() const {
    return *m_cancel;
}
