#include "app/CPropBrowser.h"

#include "app/FileDialogRunner.h"
#include "settings/OptionsStore.h"

#include <QButtonGroup>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <string>

namespace {

struct Choice {
    const char* text;
    int browser;
};

// In the order that decides the setting when several were somehow checked. Each stored number
// keeps its meaning; the texts name what runs on Linux (see ChoiceText).
constexpr std::array<Choice, CPropBrowser::kChoiceCount> kChoices = {{
    {"&Internet Explorer", BrowserInternetExplorer},
    {"&Netscape navigator", BrowserNetscape},
    {"&Opera", BrowserOpera},
    {"&America Online", BrowserAmericaOnline},
    {"O&ther browser", BrowserOther},
}};
// Choice 1 without a registered program opens addresses with the desktop's handler.
constexpr const char* kDesktopBrowserText = "&Default browser of the desktop (xdg-open)";
constexpr const char* kRegisteredBrowserText = "&Registered browser: ";
constexpr const char* kRunsText = ": runs ";
constexpr const char* kNotRegisteredText = ": not registered";
constexpr const char* kOtherBrowserText = "O&ther browser: runs the program below";
constexpr int kOtherIndex = CPropBrowser::kChoiceCount - 1;
// Linux programs have no extension, so both filters list every name; a chosen program keeps
// its name as it is.
constexpr const char* kProgramsFilter = "Browser (*)";
constexpr const char* kAllFilesFilter = "All Files (*)";

} // namespace

CPropBrowser::CPropBrowser(OptionsStore options, FileDialogRunner& dialogs, QWidget* parent)
    : OptionsPage(parent), m_options(std::move(options)), m_dialogs(dialogs), m_path(new QLineEdit),
      m_open(new QPushButton) {
    auto* layout = new QVBoxLayout(this);
    // A group of its own so that the page may start with no button checked.
    auto* group = new QButtonGroup(this);
    for (int index = 0; index < kChoiceCount; ++index) {
        m_choices[index] = new QRadioButton(QString::fromLatin1(kChoices[index].text));
        group->addButton(m_choices[index]);
        layout->addWidget(m_choices[index]);
        const bool other = index == kOtherIndex;
        connect(m_choices[index], &QRadioButton::clicked, this,
                [this, other] { SetOtherEnabled(other); });
    }
    auto* pathRow = new QHBoxLayout;
    m_path->setMaxLength(kBrowserPathMaxLength);
    pathRow->addWidget(m_path, 1);
    m_open->setText(QStringLiteral("&Open"));
    pathRow->addWidget(m_open);
    layout->addLayout(pathRow);
    layout->addStretch();

    connect(m_open, &QPushButton::clicked, this, [this] { OnOpen(); });
}

QString CPropBrowser::ChoiceText(int browser, const OptionsStore& options) {
    if (browser == BrowserOther) {
        return QString::fromLatin1(kOtherBrowserText);
    }
    std::string path;
    const bool registered = options.GetRegisteredBrowser(browser, path);
    const QString program = QFile::decodeName(QByteArray::fromStdString(path));
    if (browser == BrowserInternetExplorer) {
        if (!registered) {
            return QString::fromLatin1(kDesktopBrowserText);
        }
        return QString::fromLatin1(kRegisteredBrowserText) + program;
    }
    QString text;
    for (const Choice& choice : kChoices) {
        if (choice.browser == browser) {
            text = QString::fromLatin1(choice.text);
        }
    }
    if (!registered) {
        return text + QString::fromLatin1(kNotRegisteredText);
    }
    return text + QString::fromLatin1(kRunsText) + program;
}

void CPropBrowser::Load() {
    const OptionsStore& options = m_options;
    for (int index = 0; index < kChoiceCount; ++index) {
        m_choices[index]->setText(ChoiceText(kChoices[index].browser, options));
    }
    const int browser = options.GetBrowser();
    std::string path;
    options.GetBrowserPath(path);
    SetOtherEnabled(false);
    for (int index = 0; index < kChoiceCount; ++index) {
        if (kChoices[index].browser == browser) {
            m_choices[index]->setChecked(true);
        }
    }
    if (browser == BrowserOther) {
        m_path->setText(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
        SetOtherEnabled(true);
    }
}

void CPropBrowser::SetOtherEnabled(bool enabled) {
    m_path->setEnabled(enabled);
    m_open->setEnabled(enabled);
}

void CPropBrowser::OnOpen() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QString::fromLatin1(kProgramsFilter), QString::fromLatin1(kAllFilesFilter)});
    const std::string chosen = m_dialogs.Run(dialog);
    if (chosen.empty()) {
        return;
    }
    m_path->setText(QFile::decodeName(QByteArray::fromStdString(chosen)));
}

bool CPropBrowser::Save() {
    for (int index = 0; index < kChoiceCount; ++index) {
        if (!m_choices[index]->isChecked()) {
            continue;
        }
        OptionsStore options = m_options;
        bool written = options.SetBrowser(kChoices[index].browser);
        if (index == kOtherIndex) {
            written =
                options.SetBrowserPath(m_path->text().left(kBrowserPathMaxLength).toStdString()) &&
                written;
        }
        return written;
    }
    return true;
}

QRadioButton& CPropBrowser::ChoiceButton(int index) {
    return *m_choices[index];
}

QLineEdit& CPropBrowser::PathEdit() {
    return *m_path;
}

QPushButton& CPropBrowser::OpenButton() {
    return *m_open;
}
