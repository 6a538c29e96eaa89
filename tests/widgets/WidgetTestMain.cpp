// Entry point of the widget tests: a full Qt application on the offscreen platform, so that the
// widgets can be shown, painted, focused and fed mouse and key events without a display.

#include <QApplication>

#include <gtest/gtest.h>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform says so whenever a popup asks to be raised or shaped; the tests know.
void QuietOffscreenNotices(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    g_defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_defaultHandler = qInstallMessageHandler(&QuietOffscreenNotices);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
