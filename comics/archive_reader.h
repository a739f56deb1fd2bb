#pragma once

#include "comics/comic_reader.h"

#include <memory>
#include <optional>

struct archive;

// A comic archive read with libarchive: zip, RAR 4 and 5, 7-Zip and tar, and tar compressed with gzip, bzip2, xz,
// zstd or lz4. Every entry's header is checked before any of its data is read, and nothing of it is written
// anywhere: an entry's data is read into memory, one entry at a time, up to the limit of one member.
class ArchiveReader final : public ComicReader {
public:
    // Opens the archive; throws ComicError when libarchive cannot.
    ArchiveReader(const QString& path, const ComicLimits& limits);
    ~ArchiveReader() override;

    ComicListing List() override;
    QByteArray Read(const ComicMember& member) override;

private:
    // What an entry's header says.
    struct Entry {
        ComicMember member;
        bool isFile = false;
        qint64 claimedSize = -1;  // -1 when the header does not say
    };

    struct ArchiveFree {
        void operator()(archive* reader) const;
    };

    // Opens the archive again at its start.
    void Reopen();
    // Reads and checks the next entry's header; none at the archive's end.
    std::optional<Entry> NextEntry();
    // The data of the entry whose header was read last, refused when it grows past the limit of one member.
    QByteArray ReadData();
    // Takes a file's data for a page, or names it among those left out, or passes over it.
    void SortOut(const ComicMember& member, const QByteArray& data, ComicListing& listing) const;
    [[noreturn]] void Fail(const QString& memberPath, const QString& reason) const;
    // What went wrong, followed by the reason libarchive gave for it when it gave one.
    QString LibraryReason(const QString& what) const;

    QString path_;
    ComicLimits limits_;
    std::unique_ptr<archive, ArchiveFree> archive_;
    // The entry whose header was read last; none before the first one and after the last.
    std::optional<Entry> current_;
    bool currentDataRead_ = false;
    int nextIndex_ = 0;
};
