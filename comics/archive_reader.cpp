#include "comics/archive_reader.h"

#include "comics/comic_container.h"
#include "comics/comic_error.h"
#include "comics/member_names.h"
#include "pictures/picture_error.h"
#include "pictures/picture_files.h"
#include "pictures/picture_inspection.h"

#include <QFile>
#include <QLocale>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

namespace {

// The size of each read from the archive file and of each piece of an entry's data.
constexpr qsizetype kBlockBytes = 256 * 1024;

using Support = int (*)(archive*);

// The formats and compressions a comic archive comes in. None of the filters runs an outside program: Debian's
// libarchive has each built in.
const std::array<Support, 11> kSupported = {
    archive_read_support_format_zip,   archive_read_support_format_rar, archive_read_support_format_rar5,
    archive_read_support_format_7zip,  archive_read_support_format_tar, archive_read_support_filter_gzip,
    archive_read_support_filter_bzip2, archive_read_support_filter_xz,  archive_read_support_filter_lzma,
    archive_read_support_filter_zstd,  archive_read_support_filter_lz4,
};

constexpr const char* kDamaged = "damaged or cut short";

QString DataSize(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, bytes % (1 << 20) == 0 ? 0 : 2);
}

// The entry's path as UTF-8; a name in another encoding keeps replacement characters where it is not UTF-8.
QString EntryPath(archive_entry* entry)
{
    if (const char* utf8 = archive_entry_pathname_utf8(entry)) {
        return QString::fromUtf8(utf8);
    }
    if (const char* bytes = archive_entry_pathname(entry)) {
        return QString::fromUtf8(bytes);
    }
    return {};
}

}  // namespace

void ArchiveReader::ArchiveFree::operator()(archive* reader) const
{
    archive_read_free(reader);
}

ArchiveReader::ArchiveReader(const QString& path, const ComicLimits& limits) : path_(path), limits_(limits)
{
    Reopen();
}

ArchiveReader::~ArchiveReader() = default;

void ArchiveReader::Reopen()
{
    current_.reset();
    currentDataRead_ = false;
    nextIndex_ = 0;
    archive_.reset(archive_read_new());
    if (!archive_) {
        throw std::bad_alloc();
    }
    for (const Support support : kSupported) {
        if (support(archive_.get()) != ARCHIVE_OK) {
            throw std::logic_error("libarchive lacks a format or compression of comic archives");
        }
    }
    if (archive_read_open_filename(archive_.get(), QFile::encodeName(path_).constData(), kBlockBytes) != ARCHIVE_OK) {
        Fail({}, LibraryReason(QStringLiteral("not an archive this program reads")));
    }
}

std::optional<ArchiveReader::Entry> ArchiveReader::NextEntry()
{
    current_.reset();
    archive_entry* header = nullptr;
    const int result = archive_read_next_header(archive_.get(), &header);
    if (result == ARCHIVE_EOF) {
        return std::nullopt;
    }
    if (result < ARCHIVE_WARN) {
        // 7-Zip archives whose names are encrypted too fail here.
        Fail({}, archive_read_has_encrypted_entries(archive_.get()) > 0 ? QString::fromLatin1(comic_reason::kPassword)
                                                                        : LibraryReason(QString::fromLatin1(kDamaged)));
    }
    const int index = nextIndex_++;
    if (index >= limits_.members) {
        Fail({}, QStringLiteral("it holds more than %1 files, the most this program reads of one archive")
                     .arg(limits_.members));
    }
    const QString rawPath = EntryPath(header);
    if (const std::optional<QString> reason = HostileNameReason(rawPath)) {
        Fail(rawPath, *reason);
    }
    const QString path = CleanMemberPath(rawPath);
    if (archive_entry_is_encrypted(header)) {
        Fail(path, QString::fromLatin1(comic_reason::kPassword));
    }
    if (archive_entry_hardlink(header) != nullptr) {
        Fail(path, QStringLiteral("a hard link, which this program does not follow"));
    }
    const auto type = archive_entry_filetype(header);
    if (type == AE_IFLNK) {
        Fail(path, QStringLiteral("a symbolic link, which this program does not follow"));
    }
    // An entry without a type (an old format's) holds plain data.
    if (type != AE_IFREG && type != AE_IFDIR && type != 0) {
        Fail(path, QStringLiteral("a special file (a device, a pipe or a socket)"));
    }
    Entry entry{{index, path}, type != AE_IFDIR, archive_entry_size_is_set(header) ? archive_entry_size(header) : -1};
    if (entry.isFile && entry.claimedSize > limits_.memberBytes) {
        Fail(path, QStringLiteral("it claims %1, more than the %2 this program reads of one file")
                       .arg(DataSize(entry.claimedSize), DataSize(limits_.memberBytes)));
    }
    current_ = entry;
    currentDataRead_ = false;
    return entry;
}

QByteArray ArchiveReader::ReadData()
{
    currentDataRead_ = true;
    QByteArray data;
    // The size the header claims is within the limit; a header that claims too little costs a few copies more.
    data.reserve(static_cast<qsizetype>(std::max<qint64>(current_->claimedSize, 0)));
    std::vector<char> block(static_cast<std::size_t>(kBlockBytes));
    for (;;) {
        const la_ssize_t got = archive_read_data(archive_.get(), block.data(), block.size());
        if (got < 0) {
            Fail(current_->member.path, LibraryReason(QString::fromLatin1(kDamaged)));
        }
        if (got == 0) {
            return data;
        }
        if (data.size() + got > limits_.memberBytes) {
            Fail(current_->member.path, QStringLiteral("it grows past %1 when unpacked, the most this program reads "
                                                       "of one file")
                                            .arg(DataSize(limits_.memberBytes)));
        }
        data.append(block.data(), static_cast<qsizetype>(got));
    }
}

void ArchiveReader::SortOut(const ComicMember& member, const QByteArray& data, ComicListing& listing) const
{
    try {
        listing.pages.append({member, InspectPicture(PictureSource(data))});
    } catch (const PictureError& error) {
        const std::optional<ComicContainerKind> inside = ComicContainerKindOf(data.left(kContainerHeadBytes));
        QString reason;
        if (inside) {
            reason = *inside == ComicContainerKind::Pdf ? QStringLiteral("a PDF inside the archive, not opened")
                                                        : QStringLiteral("an archive inside the archive, not opened");
        } else if (HasPictureName(member.path)) {
            reason = error.Text();
        } else {
            return;
        }
        listing.leftOut.append(ComicError(path_, member.path, reason).Text());
    }
}

ComicListing ArchiveReader::List()
{
    if (nextIndex_ > 0) {
        Reopen();
    }
    ComicListing listing;
    std::optional<Entry> comicInfoEntry;
    QByteArray comicInfo;
    while (const std::optional<Entry> entry = NextEntry()) {
        const QString& path = entry->member.path;
        if (!entry->isFile || IsLeftOutUnseen(path)) {
            continue;
        }
        if (IsComicInfoName(path)) {
            // The one nearest the archive's top describes the archive.
            if (!comicInfoEntry || path.count(u'/') < comicInfoEntry->member.path.count(u'/')) {
                comicInfoEntry = entry;
                comicInfo = ReadData();
            }
            continue;
        }
        SortOut(entry->member, ReadData(), listing);
    }
    std::stable_sort(listing.pages.begin(), listing.pages.end(), [](const ComicPage& a, const ComicPage& b) {
        return NaturalPathLess(a.member.path, b.member.path);
    });
    if (comicInfoEntry) {
        listing.comicInfo = ParseComicInfo(comicInfo);
    }
    return listing;
}

QByteArray ArchiveReader::Read(const ComicMember& member)
{
    const int firstReadable = current_ && !currentDataRead_ ? current_->member.index : nextIndex_;
    if (member.index < firstReadable) {
        Reopen();
    }
    while (!current_ || current_->member.index < member.index) {
        if (!NextEntry()) {
            Fail(member.path, QString::fromLatin1(comic_reason::kChanged));
        }
    }
    if (current_->member.index != member.index || !current_->isFile || current_->member.path != member.path) {
        Fail(member.path, QString::fromLatin1(comic_reason::kChanged));
    }
    return ReadData();
}

void ArchiveReader::Fail(const QString& memberPath, const QString& reason) const
{
    throw ComicError(path_, memberPath, reason);
}

QString ArchiveReader::LibraryReason(const QString& what) const
{
    const char* message = archive_error_string(archive_.get());
    return message != nullptr ? what + QStringLiteral(": ") + QString::fromUtf8(message) : what;
}
