#include "builder/names/book_file_name.h"

#include <string_view>

namespace {

// The longest file name most file systems hold, in bytes.
constexpr qsizetype kMaxFileNameBytes = 255;
constexpr char16_t kReplacement = u'_';
const QString kUntitled = QStringLiteral("Untitled");

// Controls, the folder separators of this system and of Windows, what FAT storage forbids, and the characters that
// turn the direction of text, with which a name can be made to read as another.
bool IsForbiddenInFileName(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)) {
        return true;
    }
    constexpr std::string_view kForbiddenAscii = "/\\:*?\"<>|";
    return c < 0x80 && kForbiddenAscii.find(static_cast<char>(c)) != std::string_view::npos;
}

qsizetype Utf8Length(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

}  // namespace

QString BookFileName(const QString& title, const QString& extension)
{
    const qsizetype room = kMaxFileNameBytes - extension.toUtf8().size();
    QString stem;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < title.size(); ++i) {
        const bool pair = title[i].isHighSurrogate() && i + 1 < title.size() && title[i + 1].isLowSurrogate();
        char32_t c = pair ? QChar::surrogateToUcs4(title[i], title[i + 1]) : title[i].unicode();
        i += pair ? 1 : 0;
        // Half of a surrogate pair stands for no character at all.
        if (IsForbiddenInFileName(c) || QChar::isSurrogate(c)) {
            c = kReplacement;
        }
        if (stem.isEmpty() && (c == u'.' || QChar::isSpace(c))) {
            continue;
        }
        bytes += Utf8Length(c);
        if (bytes > room) {
            break;
        }
        stem += QChar::fromUcs4(c);
    }
    while (!stem.isEmpty() && stem.back().isSpace()) {
        stem.chop(1);
    }
    return (stem.isEmpty() ? kUntitled : stem) + extension;
}
