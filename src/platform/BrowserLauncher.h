#pragma once

#include <string>
#include <string_view>
#include <vector>

class BrowserSettings;
class DdeBridge;
class MessageSink;
class ProcessLauncher;
class ShellOpen;

// Opens a result's address in the browser that the setting Browser names. A running browser is
// asked first over DDE (topic "WWW_OpenURL"); when none answers, the browser's executable is
// found (BrowserSettings::GetBrowserPath) and started with its command line.
//
// On Linux no browser answers over DDE, so the command line is what opens the address:
//   - a browser whose executable is registered (see README.md) runs with the form of its
//     choice, for example "PATH -nohome "ADDRESS"" for choice 1;
//   - choice 1, the default, with nothing registered goes to the desktop's handler for web
//     addresses ("xdg-open ADDRESS");
//   - choice 99 runs BrowserPath, one blank and the address;
//   - otherwise the user sees "Path error of browser.".
// Commands run without a shell: the browser's path is the program (without one pair of enclosing
// double quotes, so it may hold blanks), and the rest of the command line is split into its
// arguments at blanks outside double quotes, the quotes removed.
class BrowserLauncher {
  public:
    static constexpr std::string_view kTopic = "WWW_OpenURL";
    static constexpr int kRequestTimeoutMs = 1000;
    static constexpr std::string_view kPathErrorText = "Path error of browser.";
    // Stands for the address in the command-line forms.
    static constexpr std::string_view kAddressMark = "%u";
    // The endings of the DDE request: the same window, or a new one.
    static constexpr std::string_view kSameWindowEnding = ",,0xFFFFFFFF,0,,,";
    static constexpr std::string_view kNewWindowEnding = ",,0,0,,,";

    // settings is read at every opening, so a changed choice takes effect at once.
    BrowserLauncher(const BrowserSettings& settings, DdeBridge& dde, ProcessLauncher& processes,
                    ShellOpen& desktop, MessageSink& messages);

    // Opens address; newWindow asks a browser answering over DDE for a new window. Failures to
    // start a found browser are silent.
    void OpenInBrowser(std::string_view address, bool newWindow);

    // The DDE request item: the address in double quotes, a backslash before each double quote
    // of it, then the ending.
    static std::string DdeItem(std::string_view address, bool newWindow);
    // The DDE service name of a browser choice; empty for 99 and for unknown choices.
    static std::string_view ServiceName(int browser);
    // The command line that starts the browser: path, the choice's form, every "%u" of that
    // replaced by the address.
    static std::string Command(std::string_view path, int browser, std::string_view address);
    // The program and its arguments that Command(path, browser, address) stands for; empty
    // when the path is empty.
    static std::vector<std::string> CommandWords(std::string_view path, int browser,
                                                 std::string_view address);
    // The words of a command line: blanks separate them, double quotes group blanks into a
    // word and are removed.
    static std::vector<std::string> SplitCommand(std::string_view command);

  private:
    const BrowserSettings& m_settings;
    DdeBridge& m_dde;
    ProcessLauncher& m_processes;
    ShellOpen& m_desktop;
    MessageSink& m_messages;
};
