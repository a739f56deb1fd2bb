#include "builder/fixed/fixed_page_document.h"

#include "builder/epub/book_namespaces.h"
#include "builder/names/file_names.h"

#include <QByteArray>
#include <QStringList>

QByteArray FixedPageText(const PageOfBook& page)
{
    const QString width = QString::number(page.displayedSize.width());
    const QString height = QString::number(page.displayedSize.height());
    const QString& language = page.language;
    // The picture's URL and the texts go into markup, so they are escaped.
    const QStringList lines = {
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral("<!DOCTYPE html>"),
        QStringLiteral("<html xmlns=\"%1\" xml:lang=\"%2\" lang=\"%2\">").arg(kXhtmlNamespace, language),
        QStringLiteral("<head>"),
        QStringLiteral("<meta charset=\"UTF-8\"/>"),
        QStringLiteral("<title>") + page.title.toHtmlEscaped() + QStringLiteral("</title>"),
        QStringLiteral("<meta name=\"viewport\" content=\"width=%1, height=%2\"/>").arg(width, height),
        QStringLiteral("<style>html, body { margin: 0; padding: 0; } body { width: %1px; height: %2px; "
                       "overflow: hidden; } img { display: block; }</style>")
            .arg(width, height),
        QStringLiteral("</head>"),
        QStringLiteral("<body>"),
        QStringLiteral("<img src=\"") + UriPathSegment(page.pictureName).toHtmlEscaped()
            + QStringLiteral("\" width=\"%1\" height=\"%2\" alt=\"").arg(width, height) + page.altText.toHtmlEscaped()
            + QStringLiteral("\"/>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
    return (lines.join(u'\n') + u'\n').toUtf8();
}
