#include "app/OptionsSheet.h"

#include "app/AppPictures.h"
#include "app/CPropAdvance.h"
#include "app/CPropBrowser.h"
#include "app/CPropEngine.h"
#include "app/CPropGeneral.h"
#include "app/CPropProxy.h"
#include "platform/MessageSink.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

OptionsSheet::OptionsSheet(const OptionsStore& options, EngineCatalog& catalog,
                           const FlatImageCombo& mainCombo, MessageSink& messages,
                           FileDialogRunner& dialogs, QWidget* parent)
    : QDialog(parent), m_messages(messages), m_tabs(new QTabWidget),
      m_general(new CPropGeneral(options)), m_proxy(new CPropProxy(options)),
      m_engines(new CPropEngine(catalog, mainCombo, options.ProgramFolder())),
      m_browser(new CPropBrowser(options, dialogs)), m_advance(new CPropAdvance(options)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(AppPictures::ProgramIcon());
    setModal(true);
    m_tabs->addTab(m_general, QString::fromLatin1(CPropGeneral::kTitle));
    m_tabs->addTab(m_proxy, QString::fromLatin1(CPropProxy::kTitle));
    m_tabs->addTab(m_engines, QString::fromLatin1(CPropEngine::kTitle));
    m_tabs->addTab(m_browser, QString::fromLatin1(CPropBrowser::kTitle));
    m_tabs->addTab(m_advance, QString::fromLatin1(CPropAdvance::kTitle));
    m_pages = {m_general, m_proxy, m_engines, m_browser, m_advance};

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The sheet opens on the first page; the others load when the user turns to them.
    m_general->Initialize();
    connect(m_tabs, &QTabWidget::currentChanged, this,
            [this](int index) { m_pages[static_cast<std::size_t>(index)]->Initialize(); });
}

void OptionsSheet::accept() {
    for (std::size_t index = 0; index < m_pages.size(); ++index) {
        OptionsPage* page = m_pages[index];
        if (!page->IsInitialized()) {
            continue;
        }
        const std::string failure = page->CheckFields();
        if (failure.empty()) {
            continue;
        }
        m_tabs->setCurrentIndex(static_cast<int>(index));
        m_messages.showMessage(kRangeMessageCaption, failure);
        return;
    }
    bool written = true;
    for (OptionsPage* page : m_pages) {
        if (page->IsInitialized()) {
            written = page->Save() && written;
        }
    }
    if (!written) {
        m_messages.showMessage(MessageSink::kWarningCaption, kNotSavedText);
    }
    QDialog::accept();
}

QTabWidget& OptionsSheet::Tabs() {
    return *m_tabs;
}

CPropGeneral& OptionsSheet::General() {
    return *m_general;
}

CPropProxy& OptionsSheet::Proxy() {
    return *m_proxy;
}

CPropEngine& OptionsSheet::Engines() {
    return *m_engines;
}

CPropBrowser& OptionsSheet::Browser() {
    return *m_browser;
}

CPropAdvance& OptionsSheet::Advance() {
    return *m_advance;
}
