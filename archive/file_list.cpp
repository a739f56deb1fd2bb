#include "archive/file_list.h"

#include "archive/byte_source.h"
#include "archive/dir_search.h"
#include "archive/zip_entry_data.h"
#include "archive/zip_errors.h"
#include "archive/zip_records.h"
#include "common/file_descriptor.h"
#include "common/file_name.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// Files are read in blocks of the size the compression engine takes them in.
constexpr qint64 kReadBlockSize = kDeflateBlockSize;
constexpr QChar kSeparator = u'/';

bool IsWildcardPattern(const QString& line)
{
    return line.contains(u'*') || line.contains(u'?');
}

// The name stored for the file at `path`: its path relative to `rootDir`, without a leading separator.
QByteArray StoredNameOf(const QString& path, const QString& rootDir)
{
    QString folder = path.left(path.lastIndexOf(kSeparator) + 1);
    if (!rootDir.isEmpty() && folder.startsWith(rootDir)) {
        folder.remove(0, rootDir.size());
    }
    // One leading separator goes, so that no name begins with "/".
    if (folder.startsWith(kSeparator)) {
        folder.remove(0, 1);
    }
    return StoredName(folder, FileNamePart(path));
}

void ExpandPattern(const QString& pattern, const QString& rootDir, const QString& archivePath,
                   const std::optional<FileStatus>& archive, const std::function<void()>& eachFound,
                   std::vector<ListedFile>* files)
{
    const qsizetype separator = pattern.lastIndexOf(kSeparator);
    const QString folder = pattern.left(separator + 1);
    QString mask = pattern.mid(separator + 1);
    if (mask == QLatin1String("*.*")) {
        mask = QStringLiteral("*");
    }
    if (folder.isEmpty()) {
        return;
    }
    TDirSearch search(folder, mask);
    TDirSearch::Found found;
    while (search.Next(&found)) {
        if (found.status.IsFolder()) {
            continue;
        }
        if (eachFound) {
            eachFound();
        }
        if (found.path == archivePath || (archive && found.status.IsSameFile(*archive))) {
            continue;
        }
        files->push_back({found.path, StoredNameOf(found.path, rootDir), EntryMethod::Deflate, found.status.size});
    }
}

class FileContent final : public EntryContent {
public:
    explicit FileContent(const QString& path)
        : path_(path),
          file_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
        struct stat info {};
        if (!file_.IsOpen() || ::fstat(file_.Get(), &info) != 0) {
            throw EFReadError(QStringLiteral("open file"), path_, errno);
        }
        if (!S_ISREG(info.st_mode)) {
            throw EFReadError(QStringLiteral("open file"), path_, QStringLiteral("Not a regular file"));
        }
        facts_.size = info.st_size;
        facts_.modified = info.st_mtime;
        facts_.file = StatusFrom(info, path_);
        facts_.attributes = facts_.file->attributes;
        facts_.source = path_;
    }

    const EntryFacts& Facts() const override { return facts_; }

    void WriteTo(EntryWriter& out) override
    {
        FileReader reader(file_.Get(), facts_.size, path_);
        std::vector<char> block(kReadBlockSize);
        for (;;) {
            const qint64 got = reader.Read(block.data(), kReadBlockSize);
            if (got == 0) {
                break;
            }
            out.Write(block.data(), got);
        }
    }

private:
    QString path_;
    FileDescriptor file_;
    EntryFacts facts_;
};

}  // namespace

std::unique_ptr<EntryContent> OpenFileContent(const QString& path)
{
    return std::make_unique<FileContent>(path);
}

std::vector<ListedFile> ExpandFileList(const QStringList& filesList, const QString& rootDir, const QString& archivePath,
                                       const std::function<void()>& eachFound)
{
    std::vector<ListedFile> files;
    QStringList patterns;
    for (const QString& line : filesList) {
        if (IsWildcardPattern(line)) {
            patterns.append(line);
        } else {
            const std::optional<FileStatus> status = StatusOf(line);
            files.push_back({line, StoredNameOf(line, rootDir), EntryMethod::Deflate, status ? status->size : 0});
        }
    }
    // An archive already at its path is known by its identity too, so that no spelling of its path lets it in.
    const std::optional<FileStatus> archive = StatusOf(archivePath);
    for (const QString& pattern : std::as_const(patterns)) {
        ExpandPattern(pattern, rootDir, archivePath, archive, eachFound, &files);
    }
    return files;
}
