#include <QApplication>

#include <gtest/gtest.h>

// Test programs of the window and its controls run with a widget application object on the
// offscreen window system. CTest also runs them to list their tests, without the test environment;
// with no window system at hand QApplication would abort, so offscreen is the choice unless the
// caller made another.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
