#include "tests/support/temp_folder_test.h"

void TempFolderTest::SetUp()
{
    ASSERT_TRUE(folder_.isValid()) << folder_.errorString().toStdString();
}

QString TempFolderTest::Root() const
{
    return folder_.path();
}

QString TempFolderTest::PathIn(const QString& relative) const
{
    return folder_.path() + "/" + relative;
}
