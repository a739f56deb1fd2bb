#include "builder/staging/staged_entries.h"

#include "archive/packing_pool.h"
#include "builder/workflow/conversion_error.h"
#include "common/cancellation.h"
#include "common/file_descriptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr mode_t kNewFileMode = 0644;

// The entries of a list, each copied as it is: a staged file holds the content itself.
class StoredEntries final : public ArchiveList {
public:
    explicit StoredEntries(const ArchiveList& list) : list_(list) {}

    qsizetype Count() const override { return list_.Count(); }
    QByteArray StoredName(qsizetype index) const override { return list_.StoredName(index); }
    EntryMethod Method(qsizetype) const override { return EntryMethod::Store; }
    qint64 ExpectedSize(qsizetype index) const override { return list_.ExpectedSize(index); }
    std::unique_ptr<EntryContent> Open(qsizetype index) const override { return list_.Open(index); }

private:
    const ArchiveList& list_;
};

class FolderWriter {
public:
    FolderWriter(const QString& folder, const PackingHooks& hooks) : folder_(folder), hooks_(hooks) {}

    void Write(const ArchiveList& list)
    {
        const StoredEntries stored(list);
        PackingPool::Settings settings;
        settings.workers = DefaultWorkerCount();
        PackingPool pool(stored, settings);
        for (qsizetype index = 0; index < list.Count(); ++index) {
            const std::optional<EntryFacts> facts = pool.OpenNext([this] { DispatchEvents(); });
            if (facts) {
                WriteEntry(pool, QFile::decodeName(list.StoredName(index)), *facts);
            }
        }
    }

private:
    void WriteEntry(PackingPool& pool, const QString& name, const EntryFacts& facts)
    {
        const QString path = folder_ + u'/' + name;
        QDir().mkpath(QFileInfo(path).path());
        FileDescriptor file(
            ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kNewFileMode));
        if (!file.IsOpen()) {
            Fail(errno);
        }
        for (;;) {
            PackedBlock block = pool.NextBlock([this] { DispatchEvents(); });
            if (block.end) {
                break;
            }
            for (qint64 written = 0; written < block.size;) {
                const ssize_t done =
                    ::write(file.Get(), block.buffer.data() + written, static_cast<size_t>(block.size - written));
                if (done < 0 && errno != EINTR) {
                    Fail(errno);
                }
                written += done > 0 ? done : 0;
            }
            bytesDone_ += block.bytesRead;
            pool.GiveBack(std::move(block.buffer));
            if (hooks_.progress) {
                hooks_.progress(bytesDone_, 0);
            }
            DispatchEvents();
        }
        // A staged file keeps the date of what it holds, as the book will.
        const struct timespec times[2] = {{facts.modified, 0}, {facts.modified, 0}};
        if (::futimens(file.Get(), times) != 0 || !file.Close()) {
            Fail(errno);
        }
    }

    [[noreturn]] void Fail(int errorNumber) const
    {
        throw ConversionError(QStringLiteral("%1 while preparing the pages in %2")
                                  .arg(QString::fromLocal8Bit(std::strerror(errorNumber)), folder_));
    }

    void DispatchEvents()
    {
        if (hooks_.dispatchEvents) {
            hooks_.dispatchEvents();
        }
        if (hooks_.cancelRequested && hooks_.cancelRequested()) {
            throw EUserCanceled();
        }
    }

    QString folder_;
    const PackingHooks& hooks_;
    qint64 bytesDone_ = 0;
};

}  // namespace

void WriteEntriesToFolder(const ArchiveList& list, const QString& folder, const PackingHooks& hooks)
{
    FolderWriter(folder, hooks).Write(list);
}
