// Entry point of the window's tests: a full Qt application on the offscreen platform with the
// dispatcher bound to it, so that whole searches run into the real window. The registry file is
// the tests' own, and the machine counts as connected unless a test says otherwise.

#include "platform/UiDispatcher.h"

#include "support/TempDir.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform says at every window that it cannot do what only a real screen can
// (size hints, raising, keyboard grabs); those lines are dropped.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    g_defaultHandler(type, context, text);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::setenv("VANTORELL_CONNECTED", "1", 1);
    const TempDir registryFolder;
    ::setenv("VANTORELL_REGISTRY", registryFolder.file("registry.ini").c_str(), 1);
    g_defaultHandler = qInstallMessageHandler(FilterMessages);
    QApplication application(argc, argv);
    UiDispatcher::Init();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
