#pragma once

#include <QString>
#include <QtGlobal>

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>

// The attribute bits of the zip format's MS-DOS host, as this platform maps them: hidden is a name beginning
// with "."; system is anything that is neither a regular file nor a folder (sockets, FIFOs, devices, and
// symbolic links to folders, which are never followed); read-only is a file whose owner may not write it.
inline constexpr quint32 kAttributeReadOnly = 0x01;
inline constexpr quint32 kAttributeHidden = 0x02;
inline constexpr quint32 kAttributeSystem = 0x04;
inline constexpr quint32 kAttributeVolume = 0x08;
inline constexpr quint32 kAttributeDirectory = 0x10;
inline constexpr quint32 kAttributeArchive = 0x20;

// What the walk and the writer learn about one path.
struct FileStatus {
    quint32 attributes = 0;
    qint64 size = 0;
    dev_t device = 0;
    ino_t inode = 0;

    bool IsFolder() const { return (attributes & kAttributeDirectory) != 0; }
    bool IsSameFile(const FileStatus& other) const { return device == other.device && inode == other.inode; }
};

// The status of the file or folder at `path`; nothing when nothing is there. A symbolic link to a regular file
// stands for that file; any other link counts as a system file.
std::optional<FileStatus> StatusOf(const QString& path);

// The status that `info`, the file system's word on `path`, gives.
FileStatus StatusFrom(const struct stat& info, const QString& path);
