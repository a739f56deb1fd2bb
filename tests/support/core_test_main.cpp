#include "tests/support/test_environment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// Test programs of the headless core: Qt Core needs its application object for a few of
// its services (locale, temporary paths, processes).
int main(int argc, char** argv)
{
    PrepareTestEnvironment();
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
