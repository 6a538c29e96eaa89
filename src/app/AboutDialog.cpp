#include "app/AboutDialog.h"

#include "app/AppPictures.h"
#include "app/AppTitle.h"
#include "app/CHyperLink.h"
#include "app/HelpPages.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kIconColumn = 0;
constexpr int kTextColumn = 1;
constexpr int kButtonColumn = 2;

} // namespace

AboutDialog::AboutDialog(ShellOpen& desktop, ProcessLauncher& processes, MessageSink& messages,
                         QWidget* parent)
    : QDialog(parent), m_link(new CHyperLink(desktop, processes, messages)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setModal(true);
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel;
    icon->setPixmap(AppPictures::ProgramPicture(kIconSize));
    layout->addWidget(icon, 0, kIconColumn, 3, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QString::fromLatin1(kAppTitle)), 0, kTextColumn);
    layout->addWidget(new QLabel(QString::fromLatin1(kVersionText)), 1, kTextColumn);
    layout->addWidget(m_link, 2, kTextColumn);
    auto* ok = new QPushButton(QStringLiteral("&OK"));
    ok->setDefault(true);
    layout->addWidget(ok, 0, kButtonColumn);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    const QString homePage = QString::fromLatin1(HelpPages::kHomePage);
    m_link->SetAddress(homePage);
    m_link->Attach();
    m_link->SetLinkText(homePage);
    m_link->ModifyLinkStyle(0, CHyperLink::kUseHover);
}

CHyperLink& AboutDialog::Link() {
    return *m_link;
}
