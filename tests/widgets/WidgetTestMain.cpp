// Entry point of the widget tests: a full Qt application on the offscreen platform, so that the
// widgets can be shown, painted, focused and fed mouse and key events without a display.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
