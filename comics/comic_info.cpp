#include "comics/comic_info.h"

#include "comics/comic_limits.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace {

std::optional<int> WholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<ReadingDirection> DirectionOfManga(const QString& manga)
{
    if (manga == QStringLiteral("YesAndRightToLeft")) {
        return ReadingDirection::RightToLeft;
    }
    if (manga == QStringLiteral("No")) {
        return ReadingDirection::LeftToRight;
    }
    return std::nullopt;
}

// The cover among the Page elements inside Pages; the reader stands on Pages' start tag and ends on its end tag.
void ReadPages(QXmlStreamReader& reader, ComicInfo& info)
{
    while (reader.readNextStartElement()) {
        if (reader.name() == QStringLiteral("Page")) {
            const QXmlStreamAttributes attributes = reader.attributes();
            const QStringList types = attributes.value(QStringLiteral("Type")).toString().split(u' ');
            if (!info.frontCover && types.contains(QStringLiteral("FrontCover"))) {
                info.frontCover = WholeNumber(attributes.value(QStringLiteral("Image")).toString());
            }
        }
        reader.skipCurrentElement();
    }
}

// One child of ComicInfo; the reader stands on its start tag and ends on its end tag.
void ReadField(QXmlStreamReader& reader, ComicInfo& info)
{
    const QStringView name = reader.name();
    if (name == QStringLiteral("Pages")) {
        ReadPages(reader, info);
        return;
    }
    const QString text = reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
    if (name == QStringLiteral("Title")) {
        info.title = text;
    } else if (name == QStringLiteral("Series")) {
        info.series = text;
    } else if (name == QStringLiteral("Number")) {
        info.number = text;
    } else if (name == QStringLiteral("Volume")) {
        info.volume = WholeNumber(text);
    } else if (name == QStringLiteral("Writer")) {
        info.writer = text;
    } else if (name == QStringLiteral("LanguageISO")) {
        info.language = text;
    } else if (name == QStringLiteral("Manga")) {
        info.readingDirection = DirectionOfManga(text);
    } else if (name == QStringLiteral("PageCount")) {
        info.pageCount = WholeNumber(text);
    }
}

}  // namespace

ComicInfo ParseComicInfo(const QByteArray& xml)
{
    ComicInfo info;
    if (xml.size() > kMaxComicInfoBytes) {
        return info;
    }
    QXmlStreamReader reader(xml);
    // Nothing before the root element may be a document type declaration.
    while (!reader.atEnd() && !reader.isStartElement()) {
        if (reader.readNext() == QXmlStreamReader::DTD) {
            return info;
        }
    }
    if (reader.name() != QStringLiteral("ComicInfo")) {
        return info;
    }
    // Each field's read ends at its own end tag; an error in the document ends them all.
    while (reader.readNextStartElement()) {
        ReadField(reader, info);
    }
    return info;
}
