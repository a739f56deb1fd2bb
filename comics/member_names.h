#pragma once

#include <QString>

#include <optional>

// What the name of a file inside an archive says before any of its data is read.

// Why a name is refused, or none when it is harmless: a name that is empty, is an absolute path, starts with a
// drive letter, or has a ".." step would lead out of any folder it were unpacked into.
std::optional<QString> HostileNameReason(const QString& path);

// The path without its "./" steps and "." names ("./pages/./001.jpg" is "pages/001.jpg").
QString CleanMemberPath(const QString& path);

// Whether a file is left out without a word whatever it holds: a hidden file or one in a hidden folder (a name
// beginning with "."), and everything in a "__MACOSX" folder, where macOS keeps its notes about the other files.
bool IsLeftOutUnseen(const QString& path);

// Whether the file is a ComicInfo.xml, the metadata comic archives carry (its name in any case).
bool IsComicInfoName(const QString& path);
