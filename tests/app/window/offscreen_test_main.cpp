#include "tests/support/test_environment.h"

#include <QApplication>

#include <gtest/gtest.h>

// The window tests run on the offscreen window system with one screen of a common desktop's size,
// 1280 x 1024, on which the window opens at its stored place; the system's own screen, 800 x 800, is
// too narrow for that.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen:configfile=" TAMBORIL_TEST_SCREENS));
    PrepareTestEnvironment();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
