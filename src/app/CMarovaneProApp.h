#pragma once

#include "app/FileDialogRunner.h"
#include "app/QtMessageSink.h"
#include "platform/ConnectionState.h"
#include "settings/OptionsStore.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CMainFrame;

// The program from start to the first idle moment and back: the command line, the main
// window shown maximized or normal by the setting WinState, and a results file named on the
// command line opened in it.
//
// Command line: [--app-path DIR] [--screenshot FILE] [--] [RESULTS-FILE]. The words after the
// options, joined by blanks, are the results file; one pair of double quotes around it is
// removed (Linux shells normally remove them already).
class CMarovaneProApp {
  public:
    static constexpr int kExitDone = 0;
    static constexpr int kExitStartFailed = 1;
    static constexpr int kExitBadOption = 2;
    // The results file named on the command line cannot be opened.
    static constexpr int kExitBadResultsFile = 2;
    // How long the window settles before --screenshot grabs it.
    static constexpr int kScreenshotDelayMs = 700;
    // How long the program waits at its end for stopped workers to let go of their threads.
    static constexpr int kWorkerDrainMs = 3000;

    // Makes DDE available to the process (a client only); a failure leaves it unavailable.
    CMarovaneProApp();
    ~CMarovaneProApp();

    // Reads the options and the results file from the arguments (without the program name).
    // False with a message in error for a bad option; the usage text for --help and the
    // version line for --version. Needs no QApplication.
    bool ParseCommandLine(const QStringList& arguments, std::string& error);
    // True when no person can answer a message box: a --screenshot run, or no display to show
    // one on. Messages then go to stderr.
    bool Unattended() const;
    // True when the results file named on the command line (if any) can be opened. Else its
    // path and the cause go to stderr and, when attended, into a message box. Needs a
    // QApplication only when attended.
    bool ResultsFileOpens();
    // Start-up: the window, its state and title, the results file. False when the program
    // has to end (the results file named on the command line cannot be opened).
    bool InitInstance();
    // Closes the window and waits for the search workers to end.
    void ExitInstance();

    CMainFrame* Frame() const;
    // The results file path of a command-line argument: one pair of enclosing double quotes
    // removed.
    static std::string ResultsPathOf(const std::string& argument);
    static const char* Usage();
    static const char* Version();

  private:
    QtMessageSink m_messages;
    ConnectionState m_connection;
    FileDialogRunner m_dialogs;
    // The command line's --app-path, and the settings of the program folder it leads to.
    std::string m_appPathArgument;
    std::optional<OptionsStore> m_options;
    std::unique_ptr<CMainFrame> m_frame;
    std::optional<std::string> m_resultsArgument;
    std::vector<std::string> m_newInstanceArguments;
    std::string m_screenshotPath;
};
