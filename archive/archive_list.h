#pragma once

#include "archive/file_attributes.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <ctime>
#include <memory>
#include <optional>

// How an entry's data is kept in the archive: copied as it is (method 0), or deflated (method 8).
enum class EntryMethod { Store, Deflate };

// What an entry's header says of its content besides its name, known once the content is opened.
struct EntryFacts {
    // The bytes the content is expected to give: a file's size when opened. The entry holds what it actually gives.
    qint64 size = 0;
    // The last-write time, in seconds since the epoch.
    std::time_t modified = 0;
    // The attribute word of the entry's central header (kAttributeArchive for an ordinary file).
    quint32 attributes = kAttributeArchive;
    // The file the content is read from, when it is one: an archive is never packed into itself.
    std::optional<FileStatus> file;
    // Where the content comes from, as a person knows it (a file's path), for the messages about it.
    QString source;
};

// Takes an entry's bytes as its content gives them.
class EntryWriter {
public:
    virtual ~EntryWriter() = default;

    virtual void Write(const char* data, qint64 size) = 0;
};

// The content of one entry, opened to be packed.
class EntryContent {
public:
    virtual ~EntryContent() = default;

    virtual const EntryFacts& Facts() const = 0;
    // Writes the whole content to `out`, raising what keeps it from doing so: a file that cannot be read fails the
    // packing, never ends the entry early.
    virtual void WriteTo(EntryWriter& out) = 0;
};

// The entries of an archive, in the order they are written. The list does not change while it is packed, and is read
// from several threads at once: the writer asks for the names, and the contents are opened and written on worker
// threads, several at once.
class ArchiveList {
public:
    virtual ~ArchiveList() = default;

    virtual qsizetype Count() const = 0;
    // The entry's name in the archive, folders separated by "/".
    virtual QByteArray StoredName(qsizetype index) const = 0;
    virtual EntryMethod Method(qsizetype index) const = 0;
    // The bytes the entry is expected to hold, for the progress shown while packing; 0 when not known beforehand.
    virtual qint64 ExpectedSize(qsizetype index) const = 0;
    // Opens the entry's content; raises a ZipError, or the error of what makes the content, when it cannot.
    virtual std::unique_ptr<EntryContent> Open(qsizetype index) const = 0;
};
