#include "platform/BrowserLauncher.h"

#include "platform/BrowserSettings.h"
#include "platform/DdeBridge.h"
#include "platform/MessageSink.h"
#include "platform/ProcessLauncher.h"
#include "platform/ShellOpen.h"

namespace {

constexpr char kQuote = '"';
constexpr char kBackslash = '\\';
constexpr char kBlank = ' ';
constexpr char kTab = '\t';
constexpr std::size_t kQuotePairLength = 2;

constexpr std::string_view kInternetExplorerService = "IExplore";
constexpr std::string_view kNetscapeService = "NETSCAPE";
constexpr std::string_view kOperaService = "Opera";
constexpr std::string_view kAmericaOnlineService = "Aol";
constexpr std::string_view kOtherService = "";

constexpr std::string_view kInternetExplorerForm = " -nohome \"%u\"";
constexpr std::string_view kNetscapeForm = " -h \"%u\"";
constexpr std::string_view kOperaForm = " /nowin \"%u\"";
constexpr std::string_view kAmericaOnlineForm = " -u \"%u\"";
constexpr std::string_view kOtherForm = " %u";
constexpr std::string_view kNoForm = "";

std::string_view FormOf(int browser) {
    switch (browser) {
    case BrowserInternetExplorer:
        return kInternetExplorerForm;
    case BrowserNetscape:
        return kNetscapeForm;
    case BrowserOpera:
        return kOperaForm;
    case BrowserAmericaOnline:
        return kAmericaOnlineForm;
    case BrowserOther:
        return kOtherForm;
    default:
        return kNoForm;
    }
}

bool IsBlank(char c) {
    return c == kBlank || c == kTab;
}

} // namespace

BrowserLauncher::BrowserLauncher(const BrowserSettings& settings, DdeBridge& dde,
                                 ProcessLauncher& processes, ShellOpen& desktop,
                                 MessageSink& messages)
    : m_settings(settings), m_dde(dde), m_processes(processes), m_desktop(desktop),
      m_messages(messages) {
}

void BrowserLauncher::OpenInBrowser(std::string_view address, bool newWindow) {
    const int browser = m_settings.GetBrowser();
    if (!m_dde.IsAvailable()) {
        return;
    }
    if (m_dde.Connect(ServiceName(browser), kTopic)) {
        m_dde.Request(DdeItem(address, newWindow), kRequestTimeoutMs);
        return;
    }
    std::string path;
    if (!m_settings.GetBrowserPath(path)) {
        // The default choice with no browser registered: the desktop's own web browser.
        const bool desktopOpened =
            browser == BrowserInternetExplorer && m_desktop.Open(std::string(address));
        if (!desktopOpened) {
            m_messages.showMessage(MessageSink::kWarningCaption, kPathErrorText);
        }
        return;
    }
    const std::vector<std::string> words = CommandWords(path, browser, address);
    if (words.empty()) {
        return;
    }
    const std::vector<std::string> arguments(words.begin() + 1, words.end());
    m_processes.StartDetached(words.front(), arguments);
}

std::string BrowserLauncher::DdeItem(std::string_view address, bool newWindow) {
    std::string item;
    item += kQuote;
    for (const char c : address) {
        if (c == kQuote) {
            item += kBackslash;
        }
        item += c;
    }
    item += kQuote;
    if (newWindow) {
        item += kNewWindowEnding;
    } else {
        item += kSameWindowEnding;
    }
    return item;
}

std::string_view BrowserLauncher::ServiceName(int browser) {
    switch (browser) {
    case BrowserInternetExplorer:
        return kInternetExplorerService;
    case BrowserNetscape:
        return kNetscapeService;
    case BrowserOpera:
        return kOperaService;
    case BrowserAmericaOnline:
        return kAmericaOnlineService;
    default:
        return kOtherService;
    }
}

std::string BrowserLauncher::Command(std::string_view path, int browser, std::string_view address) {
    std::string pattern(path);
    pattern += FormOf(browser);
    // One pass from left to right, so a "%u" inside the address stays as it is.
    std::string command;
    std::size_t from = 0;
    while (from < pattern.size()) {
        const std::size_t mark = pattern.find(kAddressMark, from);
        if (mark == std::string::npos) {
            command.append(pattern, from, std::string::npos);
            break;
        }
        command.append(pattern, from, mark - from);
        command += address;
        from = mark + kAddressMark.size();
    }
    return command;
}

std::vector<std::string> BrowserLauncher::CommandWords(std::string_view path, int browser,
                                                       std::string_view address) {
    std::string program(path);
    const bool quoted =
        program.size() >= kQuotePairLength && program.front() == kQuote && program.back() == kQuote;
    if (quoted) {
        program = program.substr(1, program.size() - kQuotePairLength);
    }
    if (program.empty()) {
        return {};
    }
    std::vector<std::string> words{program};
    const std::vector<std::string> arguments = SplitCommand(Command("", browser, address));
    words.insert(words.end(), arguments.begin(), arguments.end());
    return words;
}

std::vector<std::string> BrowserLauncher::SplitCommand(std::string_view command) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : command) {
        if (c == kQuote) {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (IsBlank(c) && !quoted) {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
            continue;
        }
        word += c;
        inWord = true;
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}
