#include "app/CMarovaneProApp.h"

#include "app/CMainFrame.h"
#include "app/FrameServices.h"
#include "platform/DdeBridge.h"
#include "platform/ProcessLauncher.h"
#include "platform/ShellOpen.h"
#include "results/ResultsFile.h"
#include "search/CHttpSearch.h"
#include "settings/OptionsStore.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr char kQuote = '"';
constexpr std::size_t kQuotePairLength = 2;
const char* const kAppPathOption = "--app-path";
const char* const kScreenshotOption = "--screenshot";
const char* const kHelpOption = "--help";
const char* const kVersionOption = "--version";
const char* const kVersionText = "Vantorell2001 " VANTORELL_VERSION "\n";
// The environment variables that name a display, and the one that chooses Qt's platform
// (such as "offscreen", which needs no display).
const char* const kDisplayVariables[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
const char* const kEndOfOptions = "--";
const char* const kOptionPrefix = "--";

const char* const kUsage =
    "usage: Vantorell2001 [--app-path DIR] [--screenshot FILE] [--] [RESULTS-FILE]\n"
    "\n"
    "The desktop meta-search client. It opens RESULTS-FILE (a .vnr results file) when one\n"
    "is given.\n"
    "\n"
    "  --app-path DIR     the program folder, holding propertys.ini, Query.His and the\n"
    "                     engine folders Site and User (default: VANTORELL_APPPATH, then\n"
    "                     the registry value AppPath, then the current folder)\n"
    "  --screenshot FILE  save a picture of the window as FILE (PNG) once it has settled,\n"
    "                     then end; messages go to stderr instead of message boxes\n"
    "  --version          print the version and end\n"
    "  --help             print this text and end\n"
    "\n"
    "A results file that cannot be opened ends the program with status 2.\n";

} // namespace

CMarovaneProApp::CMarovaneProApp() {
    DdeBridge::processDefault().Initialize();
    MessageSink::setProcessDefault(&m_messages);
}

CMarovaneProApp::~CMarovaneProApp() {
    ExitInstance();
    MessageSink::setProcessDefault(nullptr);
}

bool CMarovaneProApp::ParseCommandLine(const QStringList& arguments, std::string& error) {
    std::vector<std::string> words;
    bool optionsEnded = false;
    m_resultsArgument.reset();
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        const bool isOption = !optionsEnded && argument.startsWith(QLatin1String(kOptionPrefix));
        if (!isOption) {
            words.push_back(QFile::encodeName(argument).toStdString());
            continue;
        }
        if (argument == QLatin1String(kEndOfOptions)) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String(kHelpOption)) {
            error = kUsage;
            return false;
        }
        if (argument == QLatin1String(kVersionOption)) {
            error = kVersionText;
            return false;
        }
        const bool takesValue = argument == QLatin1String(kAppPathOption) ||
                                argument == QLatin1String(kScreenshotOption);
        if (!takesValue) {
            error = "unknown option " + argument.toStdString() + "\n" + kUsage;
            return false;
        }
        if (index + 1 >= arguments.size()) {
            error = argument.toStdString() + " needs a value\n";
            return false;
        }
        ++index;
        const std::string value = QFile::encodeName(arguments[index]).toStdString();
        if (argument == QLatin1String(kAppPathOption)) {
            m_appPathArgument = value;
            m_newInstanceArguments = {kAppPathOption, value};
        } else {
            m_screenshotPath = value;
        }
    }
    if (!words.empty()) {
        std::string joined;
        for (std::size_t index = 0; index < words.size(); ++index) {
            if (index > 0) {
                joined += ' ';
            }
            joined += words[index];
        }
        m_resultsArgument = joined;
    }
    return true;
}

std::string CMarovaneProApp::ResultsPathOf(const std::string& argument) {
    const bool quoted = argument.size() >= kQuotePairLength && argument.front() == kQuote &&
                        argument.back() == kQuote;
    if (!quoted) {
        return argument;
    }
    return argument.substr(1, argument.size() - kQuotePairLength);
}

bool CMarovaneProApp::Unattended() const {
    if (!m_screenshotPath.empty()) {
        return true;
    }
    for (const char* variable : kDisplayVariables) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return false;
        }
    }
    return true;
}

bool CMarovaneProApp::ResultsFileOpens() {
    if (!m_resultsArgument) {
        return true;
    }
    const std::string path = ResultsPathOf(*m_resultsArgument);
    if (path.empty()) {
        return true;
    }
    ResultList results;
    const ResultsFile::Opened opened = ResultsFile::Open(results, path);
    if (opened.refusal == ResultsFile::Refusal::None) {
        return true;
    }
    const std::string refusal = ResultsFile::RefusalText(path, opened.refusal);
    std::fprintf(stderr, "%s\n", refusal.c_str());
    if (!Unattended()) {
        m_messages.showMessage(MessageSink::kAppCaption,
                               std::string(ResultsFile::kUnreadableMessage) + "\n" + refusal);
    }
    return false;
}

bool CMarovaneProApp::InitInstance() {
    m_messages.SetToStandardError(Unattended());
    // The file is opened as the program's document first; one that cannot be opened ends the
    // program before its window shows.
    if (!ResultsFileOpens()) {
        return false;
    }
    std::string resultsPath;
    if (m_resultsArgument) {
        resultsPath = ResultsPathOf(*m_resultsArgument);
    }

    m_options.emplace(OptionsStore::GetAppPath(m_appPathArgument));
    const FrameServices services{*m_options,
                                 m_messages,
                                 m_connection,
                                 DdeBridge::processDefault(),
                                 ProcessLauncher::processDefault(),
                                 ShellOpen::processDefault(),
                                 m_dialogs};
    m_frame = std::make_unique<CMainFrame>(services);
    m_frame->SetNewInstanceArguments(m_newInstanceArguments);
    m_messages.SetParent(m_frame.get());

    if (m_options->GetWinState() == OptionsStore::kWinStateMaximized) {
        m_frame->showMaximized();
    } else {
        m_frame->showNormal();
    }
    m_frame->update();
    m_frame->setWindowTitle(QString::fromLatin1(CMainFrame::kTitle));

    if (m_resultsArgument) {
        m_frame->OpenResultsFile(resultsPath);
    }

    if (!m_screenshotPath.empty()) {
        const QString file = QFile::decodeName(m_screenshotPath.c_str());
        QTimer::singleShot(kScreenshotDelayMs, m_frame.get(), [this, file] {
            const bool saved = m_frame->grab().save(file, "PNG");
            if (!saved) {
                std::fprintf(stderr, "could not save %s\n", QFile::encodeName(file).constData());
            }
            QApplication::exit(saved ? kExitDone : kExitStartFailed);
        });
    }
    return true;
}

void CMarovaneProApp::ExitInstance() {
    if (m_frame == nullptr) {
        return;
    }
    m_messages.SetParent(nullptr);
    m_frame.reset();
    DdeBridge::processDefault().Uninitialize();
    CHttpSearch::WaitForAllEnded(kWorkerDrainMs);
}

CMainFrame* CMarovaneProApp::Frame() const {
    return m_frame.get();
}

const char* CMarovaneProApp::Usage() {
    return kUsage;
}

const char* CMarovaneProApp::Version() {
    return kVersionText;
}
