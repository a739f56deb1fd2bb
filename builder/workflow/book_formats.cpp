#include "builder/workflow/book_formats.h"

#include "builder/fixed/fixed_format.h"
#include "builder/flowing/flowing_format.h"

#include <algorithm>

const QList<const BookFormat*>& AllBookFormats()
{
    static const FlowingFormat flowing;
    static const FixedFormat fixed;
    static const QList<const BookFormat*> formats = {&flowing, &fixed};
    return formats;
}

const BookFormat& DefaultBookFormat()
{
    return *AllBookFormats().front();
}

const BookFormat& FormatOf(const BookSettings& settings)
{
    return settings.format != nullptr ? *settings.format : DefaultBookFormat();
}

const BookFormat* BookFormatNamed(const QString& key)
{
    for (const BookFormat* format : AllBookFormats()) {
        if (format->Key().compare(key, Qt::CaseInsensitive) == 0) {
            return format;
        }
    }
    return nullptr;
}

bool BeginsAsABook(QByteArrayView firstBytes)
{
    const QList<const BookFormat*>& formats = AllBookFormats();
    return std::any_of(formats.cbegin(), formats.cend(),
                       [firstBytes](const BookFormat* format) { return format->BeginsAsItsBook(firstBytes); });
}
