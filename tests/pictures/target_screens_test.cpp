#include "pictures/target_screens.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <set>

TEST(TargetScreensTest, NamedScreensAreFoundByKeyOrNameInAnyCaseAndTypedSizesWithinBounds)
{
    std::set<QString> keys;
    for (const TargetScreen& screen : TargetScreens()) {
        EXPECT_LT(screen.size.width(), screen.size.height()) << screen.key.toStdString();
        EXPECT_TRUE(keys.insert(screen.key).second) << screen.key.toStdString();
        ASSERT_TRUE(FindTargetScreen(screen.key.toUpper())) << screen.key.toStdString();
        EXPECT_EQ(FindTargetScreen(screen.key.toUpper())->name, screen.name);
        EXPECT_EQ(FindTargetScreen(screen.name.toLower())->key, screen.key);
    }
    EXPECT_EQ(FindTargetScreen("kindle-paperwhite")->size, QSize(1236, 1648));
    EXPECT_TRUE(FindTargetScreen("kindle-paperwhite")->grey);
    EXPECT_FALSE(FindTargetScreen("Kindle Colorsoft")->grey);
    EXPECT_FALSE(FindTargetScreen("paperwhite"));

    EXPECT_EQ(ParseScreenSize(" 1200 X 1600 ")->size, QSize(1200, 1600));
    EXPECT_EQ(ParseScreenSize("1920x1080")->size, QSize(1920, 1080));
    for (const char* refused : {"1236x", "x1648", "99x1648", "1236x10001", "1236x1648x2", "-1236x1648", "1236", ""}) {
        EXPECT_FALSE(ParseScreenSize(refused)) << refused;
    }
}
