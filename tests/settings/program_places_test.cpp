#include "settings/program_places.h"
#include "tests/support/temp_folder_test.h"

#include <QByteArray>
#include <QDir>

#include <gtest/gtest.h>

namespace {

// Sets an environment variable, or unsets it for an empty value, until the end of the scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name),
          old_(qgetenv(name)),
          had_(qEnvironmentVariableIsSet(name))
    {
        Set(value, !value.isEmpty());
    }
    ~ScopedVariable() { Set(old_, had_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void Set(const QByteArray& value, bool set) const
    {
        if (set) {
            qputenv(name_, value);
        } else {
            qunsetenv(name_);
        }
    }

    const char* name_;
    QByteArray old_;
    bool had_;
};

using ProgramPlacesTest = TempFolderTest;

TEST_F(ProgramPlacesTest, AnInstalledProgramKeepsItsFilesInTheUsersFolders)
{
    const ScopedVariable home("HOME", PathIn("home").toUtf8());
    QDir().mkpath(PathIn("usr/share/tamboril"));
    {
        const ScopedVariable config("XDG_CONFIG_HOME", {});
        const ScopedVariable state("XDG_STATE_HOME", {});
        const ProgramPlaces places = PlacesOfProgram(PathIn("usr/bin"), false);
        EXPECT_EQ(places.configIni, PathIn("home/.config/tamboril/config.ini"));
        EXPECT_EQ(places.stateFolder, PathIn("home/.local/state/tamboril"));
        // The work a window keeps is the user's, even where the program keeps its settings beside itself.
        EXPECT_EQ(PlacesOfProgram(PathIn("usr/bin"), true).stateFolder, PathIn("home/.local/state/tamboril"));
        // Found from the program's own folder, wherever the prefix is.
        EXPECT_EQ(places.installationData, PathIn("usr/share/tamboril"));
    }
    {
        const ScopedVariable config("XDG_CONFIG_HOME", PathIn("settings/").toUtf8());
        const ScopedVariable state("XDG_STATE_HOME", PathIn("state").toUtf8());
        const ProgramPlaces places = PlacesOfProgram(PathIn("usr/bin"), false);
        EXPECT_EQ(places.configIni, PathIn("settings/tamboril/config.ini"));
        EXPECT_EQ(places.stateFolder, PathIn("state/tamboril"));
    }
    {
        // A relative folder in these variables is to be ignored, not taken from wherever the
        // program happens to start.
        const ScopedVariable config("XDG_CONFIG_HOME", "settings");
        const ProgramPlaces places = PlacesOfProgram(PathIn("usr/bin"), false);
        EXPECT_EQ(places.configIni, PathIn("home/.config/tamboril/config.ini"));
    }
}

}  // namespace
