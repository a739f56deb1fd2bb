#include "comics/comic_container.h"

#include <QFile>

#include <array>
#include <string_view>

namespace {

// Where a signature lies in the first bytes, and the bytes themselves.
struct Signature {
    qsizetype offset;
    std::string_view bytes;
};

using namespace std::string_view_literals;

const std::array kArchiveSignatures = {
    Signature{0, "PK\x03\x04"sv},                // zip, its first entry
    Signature{0, "PK\x05\x06"sv},                // zip without entries
    Signature{0, "Rar!\x1A\x07\x00"sv},          // RAR 4
    Signature{0, "Rar!\x1A\x07\x01\x00"sv},      // RAR 5
    Signature{0, "7z\xBC\xAF\x27\x1C"sv},        // 7-Zip
    Signature{257, "ustar"sv},                   // tar, POSIX and GNU
    Signature{0, "\x1F\x8B"sv},                  // gzip
    Signature{0, "BZh"sv},                       // bzip2
    Signature{0, "\xFD\x37\x7A\x58\x5A\x00"sv},  // xz
    Signature{0, "\x28\xB5\x2F\xFD"sv},          // zstd
    Signature{0, "\x04\x22\x4D\x18"sv},          // lz4
};

bool HasSignature(const QByteArray& head, const Signature& signature)
{
    return head.mid(signature.offset)
        .startsWith(QByteArrayView(signature.bytes.data(), static_cast<qsizetype>(signature.bytes.size())));
}

}  // namespace

std::optional<ComicContainerKind> ComicContainerKindOf(const QByteArray& head)
{
    for (const Signature& signature : kArchiveSignatures) {
        if (HasSignature(head, signature)) {
            return ComicContainerKind::Archive;
        }
    }
    if (head.startsWith("%PDF-")) {
        return ComicContainerKind::Pdf;
    }
    return std::nullopt;
}

std::optional<ComicContainerKind> ComicContainerKindOfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return ComicContainerKindOf(file.read(kContainerHeadBytes));
}
