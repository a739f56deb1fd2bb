#include "tests/support/test_environment.h"

#include <QApplication>

#include <gtest/gtest.h>

// Test programs of the window and its controls run with a widget application object on the
// offscreen window system.
int main(int argc, char** argv)
{
    PrepareTestEnvironment();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
