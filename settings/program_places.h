#pragma once

#include <QString>

// Where the program keeps its settings file and finds the installation data, for the window and the
// command line alike. (Both stage their books in temporary folders of their own: StagingFolder.)
//
// A copy of the program in a folder its user may write (the build folder, a portable copy) keeps
// config.ini beside itself. An installed copy (in /usr/bin, say) cannot write there, so it keeps
// config.ini in the user's configuration folder.
struct ProgramPlaces {
    // The settings file: config.ini beside the program, or $XDG_CONFIG_HOME/tamboril/config.ini
    // (~/.config/tamboril/config.ini when the variable is unset, empty or not an absolute path).
    QString configIni;
    // The installation data that every staging folder carries (mimetype, META-INF/container.xml):
    // share/tamboril of the prefix the program is installed in when that folder exists, else the
    // epubfiles folder beside the program, where the build puts it.
    QString installationData;
    // The folder where the window keeps the person's work as it goes (KeptListSlot):
    // $XDG_STATE_HOME/tamboril, or ~/.local/state/tamboril when the variable is unset, empty or not an absolute
    // path. Always the user's own, wherever the program lies; made when first needed.
    QString stateFolder;
};

// The places of a program whose file lies in `programFolder`, decided by whether this user may
// write that folder.
ProgramPlaces PlacesOfProgram(const QString& programFolder);

// The same, with the answer to "may this user write the program's folder?" given.
ProgramPlaces PlacesOfProgram(const QString& programFolder, bool programFolderWritable);

// Creates `folder` with every missing parent, each new one open to its owner only, as the user's
// configuration folder should be. Folders that exist are left as they are. What cannot
// be made is left to the write that follows, which says so.
void MakePrivateFolder(const QString& folder);
