#include "settings/output_folder_setting.h"
#include "settings/private_profile.h"
#include "settings/profile_read_error.h"
#include "settings/profile_write_error.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class PrivateProfileTest : public TempFolderTest {
protected:
    QString Ini() const { return PathIn("config.ini"); }
    QString ReadSavePath() const { return ReadProfileString(Ini(), "Options", "SavePath", "none"); }
};

TEST_F(PrivateProfileTest, AMissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(ReadSavePath(), "none");
    WriteTestFile(Ini(), "[Other]\nSavePath=/elsewhere\n");
    EXPECT_EQ(ReadSavePath(), "none");
    WriteTestFile(Ini(), "[Options]\nOther=1\n");
    EXPECT_EQ(ReadSavePath(), "none");
}

TEST_F(PrivateProfileTest, TheFirstWriteCreatesTheTwoLines)
{
    WriteProfileString(Ini(), "Options", "SavePath", "/home/ann/Books");
    EXPECT_EQ(ReadTestFile(Ini()), "[Options]\nSavePath=/home/ann/Books\n");
    EXPECT_EQ(ReadSavePath(), "/home/ann/Books");
}

TEST_F(PrivateProfileTest, AValueWithALineBreakKeepsTheFileToOneLinePerKey)
{
    WriteProfileString(Ini(), "Options", "SavePath", "/books\n[Other]\r\nKey=1");
    EXPECT_EQ(ReadTestFile(Ini()), "[Options]\nSavePath=/books\n");
}

TEST_F(PrivateProfileTest, AnEmptyValueIsStoredAndReadBackEmpty)
{
    WriteProfileString(Ini(), "Options", "SavePath", "/x");
    WriteProfileString(Ini(), "Options", "SavePath", "");
    EXPECT_EQ(ReadTestFile(Ini()), "[Options]\nSavePath=\n");
    EXPECT_EQ(ReadSavePath(), "");
}

TEST_F(PrivateProfileTest, ValuesTypedByHandAreReadTheWayTheFormatReadsThem)
{
    WriteTestFile(Ini(), "; written by hand\r\n[ options ]\r\n  savepath =  \"/with blanks/ \"  \r\n");
    EXPECT_EQ(ReadSavePath(), "/with blanks/ ");
    WriteTestFile(Ini(), "[Options]\nSavePath=/a folder that does not exist yet\n");
    EXPECT_EQ(ReadSavePath(), "/a folder that does not exist yet");
    WriteTestFile(Ini(), "[Options]\nSavePath=" + QByteArray(3000, 'x') + "\n");
    EXPECT_EQ(ReadSavePath().size(), 2047);
}

TEST_F(PrivateProfileTest, AWriteKeepsEveryOtherLine)
{
    WriteTestFile(Ini(), "; comment\r\n[Window]\r\nLeft=301\r\n\r\n[OPTIONS]\r\nTheme=dark\r\nsavepath=/old\r\n"
                         "Extra=1\r\n\r\n[Last]\r\nKey=v\r\n");
    WriteProfileString(Ini(), "Options", "SavePath", "/new");
    EXPECT_EQ(ReadTestFile(Ini()),
              "; comment\r\n[Window]\r\nLeft=301\r\n\r\n[OPTIONS]\r\nTheme=dark\r\nSavePath=/new\r\n"
              "Extra=1\r\n\r\n[Last]\r\nKey=v\r\n");

    // A section without the key gets it after its last line, before the blank line.
    WriteTestFile(Ini(), "[Options]\nTheme=dark\n\n[Last]\nKey=v\n");
    WriteProfileString(Ini(), "Options", "SavePath", "/p");
    EXPECT_EQ(ReadTestFile(Ini()), "[Options]\nTheme=dark\nSavePath=/p\n\n[Last]\nKey=v\n");

    // A file without the section gets it at its end.
    WriteTestFile(Ini(), "[Last]\nKey=v");
    WriteProfileString(Ini(), "Options", "SavePath", "/q");
    EXPECT_EQ(ReadTestFile(Ini()), "[Last]\nKey=v\n[Options]\nSavePath=/q\n");
}

TEST_F(PrivateProfileTest, AnUnwritableFileRaisesTheErrorAndKeepsItsContent)
{
    // A folder at the file's path can be neither read nor replaced, even by root.
    QDir().mkpath(Ini());
    try {
        WriteProfileString(Ini(), "Options", "SavePath", "/x");
        FAIL() << "no error raised";
    } catch (const ProfileWriteError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), "Unable to write to " + Ini());
    }
    EXPECT_TRUE(QFileInfo(Ini()).isDir());

    const QString inMissingFolder = PathIn("missing/config.ini");
    EXPECT_THROW(WriteProfileString(inMissingFolder, "Options", "SavePath", "/x"), ProfileWriteError);
    EXPECT_FALSE(QFileInfo::exists(PathIn("missing")));
}

TEST_F(PrivateProfileTest, ALinkedFileIsReplacedNeverWrittenThrough)
{
    WriteTestFile(PathIn("elsewhere/shared.ini"), "[Options]\nSavePath=/old\n");
    ASSERT_EQ(
        ::symlink(QFile::encodeName(PathIn("elsewhere/shared.ini")).constData(), QFile::encodeName(Ini()).constData()),
        0);
    WriteProfileString(Ini(), "Options", "SavePath", "/new");
    EXPECT_FALSE(QFileInfo(Ini()).isSymLink());
    EXPECT_EQ(ReadTestFile(Ini()), "[Options]\nSavePath=/new\n");
    EXPECT_EQ(ReadTestFile(PathIn("elsewhere/shared.ini")), "[Options]\nSavePath=/old\n");
    EXPECT_EQ(FolderNames(Root()), QStringList({"config.ini", "elsewhere"}));
}

TEST_F(PrivateProfileTest, AnOverlongOutputFolderIsRefusedNeverCut)
{
    const QString longest = "/" + QString(2046, 'a');
    WriteTestFile(Ini(), "[Options]\nSavePath=" + longest.toUtf8() + "\n");
    EXPECT_EQ(ReadOutputFolderSetting(Ini()), longest);
    WriteTestFile(Ini(), "[Options]\nSavePath=" + longest.toUtf8() + "b\n");
    EXPECT_THROW(ReadOutputFolderSetting(Ini()), ProfileReadError);
}

}  // namespace
