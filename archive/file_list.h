#pragma once

#include "archive/archive_list.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The content of the file at `path`, opened for reading without waiting (a FIFO put in a file's place cannot hold the
// packing up), and read from start to end. A file that cannot be opened or examined, or is no regular file, raises
// EFReadError naming it and the system's reason; so does a failed read in the middle of the file.
std::unique_ptr<EntryContent> OpenFileContent(const QString& path);

// One file of a FileList: where it is read from, its name in the archive, and how it is packed.
struct ListedFile {
    QString path;
    QByteArray storedName;
    EntryMethod method = EntryMethod::Deflate;
    qint64 size = 0;  // as found when listed, for the progress
};

// An archive of files named one by one.
class FileList final : public ArchiveList {
public:
    explicit FileList(std::vector<ListedFile> files) : files_(std::move(files)) {}

    qsizetype Count() const override { return static_cast<qsizetype>(files_.size()); }
    QByteArray StoredName(qsizetype index) const override { return At(index).storedName; }
    EntryMethod Method(qsizetype index) const override { return At(index).method; }
    qint64 ExpectedSize(qsizetype index) const override { return At(index).size; }
    std::unique_ptr<EntryContent> Open(qsizetype index) const override { return OpenFileContent(At(index).path); }

private:
    const ListedFile& At(qsizetype index) const { return files_[static_cast<size_t>(index)]; }

    std::vector<ListedFile> files_;
};

// The files that `filesList` names, each deflated unless its caller says otherwise: full paths of single files as they
// stand, and wildcard patterns "folder/mask" (holding "*" or "?") expanded into the files of the folder's whole tree
// whose names match the mask, in the order of a depth-first walk of the directory listing. Hidden and system files,
// and whatever lies in such folders, are left out of the walk, and so is the archive at `archivePath` itself. Stored
// names are the paths relative to `rootDir` (ending in "/"; a path outside it keeps its folders). `eachFound` runs
// after each file the walk finds. A folder that cannot be listed, or a name that cannot be examined, raises
// EFReadError; a name that could leave the archive's folders raises ZipError.
std::vector<ListedFile> ExpandFileList(const QStringList& filesList, const QString& rootDir, const QString& archivePath,
                                       const std::function<void()>& eachFound);
