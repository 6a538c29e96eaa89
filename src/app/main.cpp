// Vantorell2001: the desktop meta-search client.

#include "app/CMarovaneProApp.h"
#include "platform/UiDispatcher.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorell2001"));
    QApplication::setDesktopFileName(QStringLiteral("vantorell2001"));
    UiDispatcher::Init();

    CMarovaneProApp program;
    std::string error;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!program.ParseCommandLine(arguments, error)) {
        const bool help = error == CMarovaneProApp::Usage();
        std::fputs(error.c_str(), help ? stdout : stderr);
        return help ? CMarovaneProApp::kExitDone : CMarovaneProApp::kExitBadOption;
    }
    if (!program.InitInstance()) {
        return CMarovaneProApp::kExitStartFailed;
    }
    const int status = QApplication::exec();
    program.ExitInstance();
    return status;
}
