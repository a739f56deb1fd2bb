#include "builder/page_document.h"

#include "builder/book_namespaces.h"
#include "builder/file_names.h"
#include "builder/language_tag.h"
#include "builder/style_sheet.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>

namespace {

QByteArray PageDocumentText(const QString& pictureFileName, const QString& title, const QString& altText)
{
    // The picture's URL and the texts go into markup, so they are escaped: a title holding "&" or
    // "<" still gives a well-formed page.
    const QStringList lines = {
        QStringLiteral("<?xml version='1.0' encoding='utf-8'?>"),
        QStringLiteral("<html xmlns=\"") + kXhtmlNamespace + QStringLiteral("\" xml:lang=\"") + GetLanguageTag()
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

}  // namespace

bool WritePageDocument(const QString& pagePath, const QString& pictureFileName, const QString& title,
                       const QString& altText)
{
    // A book has a page per picture, so pages are written straight in place, without a sync to
    // disk for each; a failed write removes what it left, so no half page stays behind.
    QFile file(pagePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const QByteArray text = PageDocumentText(pictureFileName, title, altText);
    if (file.write(text) != text.size() || !file.flush()) {
        file.remove();
        return false;
    }
    return true;
}
