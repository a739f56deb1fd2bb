#include "builder/staging/folder_tree.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using FolderTreeTest = TempFolderTest;

TEST_F(FolderTreeTest, AFolderOfThousandsOfFilesIsEmptiedWholeButForTheKeptEntry)
{
    // More names than are taken at once, in the folder and in a folder inside it.
    for (int file = 0; file < 2500; ++file) {
        WriteTestFile(PathIn(QString("staging/OEBPS/page%1.html").arg(file)), "page");
    }
    for (int file = 0; file < 1100; ++file) {
        WriteTestFile(PathIn(QString("staging/%1.jpg").arg(file)), "picture");
    }
    WriteTestFile(PathIn("staging/.marker"), "kept");
    EXPECT_TRUE(DeleteFolderContent(PathIn("staging"), ".marker", {}));
    EXPECT_EQ(FolderNames(PathIn("staging")), QStringList({".marker"}));

    // A stop request leaves the rest, and says so.
    for (int file = 0; file < 1500; ++file) {
        WriteTestFile(PathIn(QString("staging/%1.jpg").arg(file)), "picture");
    }
    int asked = 0;
    EXPECT_FALSE(DeleteFolderContent(PathIn("staging"), ".marker", [&asked] { return ++asked > 1200; }));
    EXPECT_EQ(FolderNames(PathIn("staging")).size(), 1500 - 1200 + 1);
}

}  // namespace
