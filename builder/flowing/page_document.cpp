#include "builder/flowing/page_document.h"

#include "builder/epub/book_namespaces.h"
#include "builder/epub/epub_names.h"
#include "builder/names/file_names.h"

#include <QByteArray>
#include <QStringList>

QByteArray PageDocumentText(const QString& pictureFileName, const QString& title, const QString& altText,
                            const QString& language)
{
    // The picture's URL and the texts go into markup, so they are escaped: a title holding "&" or
    // "<" still gives a well-formed page.
    const QStringList lines = {
        QStringLiteral("<?xml version='1.0' encoding='utf-8'?>"),
        QStringLiteral("<html xmlns=\"") + kXhtmlNamespace + QStringLiteral("\" xml:lang=\"") + language
            + QStringLiteral("\"> "),
        QStringLiteral("<head>"),
        QStringLiteral("<title>") + title.toHtmlEscaped() + QStringLiteral("</title>"),
        QStringLiteral("<link href=\"") + kStyleSheetName
            + QStringLiteral("\" type=\"text/css\" rel=\"stylesheet\"/> "),
        QStringLiteral("</head>"),
        QStringLiteral("<body>"),
        QStringLiteral("<div>"),
        QStringLiteral("<img src=\"") + UriPathSegment(pictureFileName).toHtmlEscaped() + QStringLiteral("\" alt=\"")
            + altText.toHtmlEscaped() + QStringLiteral("\" />"),
        QStringLiteral("</div>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
    QByteArray text;
    for (const QString& line : lines) {
        text += line.toUtf8();
        text += "\r\n";
    }
    return text;
}
