#include "pictures/picture_inspection.h"

#include "common/file_descriptor.h"
#include "pictures/jpeg_decoder.h"
#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <avif/avif.h>
#include <libheif/heif.h>

namespace {

bool StartsWith(const QByteArray& head, const char* signature, qsizetype length)
{
    return head.size() >= length && std::memcmp(head.constData(), signature, static_cast<std::size_t>(length)) == 0;
}

// A Windows bitmap: "BM", then after the 14-byte file header one of the sizes its information headers have.
bool IsBitmap(const QByteArray& head)
{
    if (!StartsWith(head, "BM", 2) || head.size() < 18) {
        return false;
    }
    const auto byte = [&head](int i) { return static_cast<unsigned>(static_cast<unsigned char>(head[i])); };
    const unsigned headerSize = byte(14) | byte(15) << 8 | byte(16) << 16 | byte(17) << 24;
    for (const unsigned known : {12U, 40U, 52U, 56U, 64U, 108U, 124U}) {
        if (headerSize == known) {
            return true;
        }
    }
    return false;
}

using Inspector = PictureInfo (*)(const PictureSource&);

// The reader for the kind of picture whose file begins with `head`, or none.
Inspector InspectorFor(const QByteArray& head)
{
    if (StartsWith(head, "\xFF\xD8\xFF", 3)) {
        return InspectJpeg;
    }
    if (StartsWith(head, "\x89PNG\r\n\x1A\n", 8)) {
        return InspectPng;
    }
    if (StartsWith(head, "GIF87a", 6) || StartsWith(head, "GIF89a", 6)) {
        return InspectGif;
    }
    if (StartsWith(head, "RIFF", 4) && head.mid(8, 4) == "WEBP") {
        return InspectWebp;
    }
    if (StartsWith(head, "II*\0", 4) || StartsWith(head, "MM\0*", 4) || StartsWith(head, "II+\0", 4)
        || StartsWith(head, "MM\0+", 4)) {
        return InspectTiff;
    }
    if (IsBitmap(head)) {
        return InspectBmp;
    }
    const avifROData data{reinterpret_cast<const std::uint8_t*>(head.constData()), static_cast<size_t>(head.size())};
    if (avifPeekCompatibleFileType(&data)) {
        return InspectAvif;
    }
    const heif_filetype_result heif =
        heif_check_filetype(reinterpret_cast<const std::uint8_t*>(head.constData()), static_cast<int>(head.size()));
    if (heif == heif_filetype_yes_supported || heif == heif_filetype_yes_unsupported) {
        return InspectHeif;
    }
    return nullptr;
}

QString SystemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

void Refuse(const char* reason)
{
    throw PictureError(QString::fromLatin1(reason));
}

PictureInfo InspectPicture(const PictureSource& source)
{
    if (source.Size() == 0) {
        Refuse(picture_reason::kEmptyFile);
    }
    const Inspector inspect = InspectorFor(source.Head());
    if (inspect == nullptr) {
        Refuse(picture_reason::kNotAPicture);
    }
    PictureInfo info = inspect(source);
    if (info.size.isEmpty()) {
        Refuse(picture_reason::kDamaged);
    }
    return info;
}

PictureInfo InspectPictureToShow(const PictureSource& source)
{
    if (InspectorFor(source.Head()) != InspectJpeg) {
        return InspectPicture(source);
    }
    return InspectJpegToShow(source);
}

PictureInfo InspectPictureFile(const QString& path)
{
    const FileDescriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen()) {
        throw PictureError(SystemReason());
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        throw PictureError(SystemReason());
    }
    if (!S_ISREG(status.st_mode)) {
        Refuse(picture_reason::kNotAPicture);
    }
    return InspectPicture(PictureSource(file.Get(), status.st_size));
}
