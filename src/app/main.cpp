// Vantorell2001: the desktop meta-search client.

#include "app/CMarovaneProApp.h"
#include "platform/UiDispatcher.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // The command line is read before Qt looks for a display: --help, --version and a results
    // file that cannot be opened are answered on a terminal without one.
    CMarovaneProApp program;
    std::string error;
    QStringList arguments;
    for (int index = 1; index < argc; ++index) {
        arguments << QString::fromLocal8Bit(argv[index]);
    }
    if (!program.ParseCommandLine(arguments, error)) {
        const bool answer =
            error == CMarovaneProApp::Usage() || error == CMarovaneProApp::Version();
        std::fputs(error.c_str(), answer ? stdout : stderr);
        return answer ? CMarovaneProApp::kExitDone : CMarovaneProApp::kExitBadOption;
    }
    if (program.Unattended() && !program.ResultsFileOpens()) {
        return CMarovaneProApp::kExitBadResultsFile;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorell2001"));
    QApplication::setDesktopFileName(QStringLiteral("vantorell2001"));
    UiDispatcher::Init();
    // Read again without the options Qt has taken for itself (such as -style).
    arguments = QApplication::arguments();
    arguments.removeFirst();
    program.ParseCommandLine(arguments, error);

    if (!program.InitInstance()) {
        return CMarovaneProApp::kExitBadResultsFile;
    }
    const int status = QApplication::exec();
    program.ExitInstance();
    return status;
}
