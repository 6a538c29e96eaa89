// Entry point of the test programs whose code needs the user-interface thread: a Qt
// application object, its event loop available to the tests, and the dispatcher bound to it.

#include "platform/UiDispatcher.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    UiDispatcher::Init();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
