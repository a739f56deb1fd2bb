#include "builder/page_document.h"

#include "builder/book_namespaces.h"
#include "builder/language_tag.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>

namespace {

QByteArray PageDocumentText(const QString& pictureFileName)
{
    // The file name goes into an attribute value, so it is escaped: a name holding "&", "<", ">"
    // or a double quote still gives a well-formed page that names the file exactly.
    const QStringList lines = {
        QStringLiteral("<?xml version='1.0' encoding='utf-8'?>"),
        QStringLiteral("<html xmlns=\"") + kXhtmlNamespace + QStringLiteral("\" xml:lang=\"") +
            GetLanguageTag() + QStringLiteral("\"> "),
        QStringLiteral("<head>"),
        QStringLiteral("<link href=\"CCS\\stylesheet.css\" type=\"text/css\" rel=\"stylesheet\"/> "),
        QStringLiteral("</head>"),
        QStringLiteral("<body>"),
        QStringLiteral("<div>"),
        QStringLiteral("<img src=\"") + pictureFileName.toHtmlEscaped() + QStringLiteral("\" />"),
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

bool WritePageDocument(const QString& pagePath, const QString& pictureFileName)
{
    // A book has a page per picture, so pages are written straight in place, without a sync to
    // disk for each; a failed write removes what it left, so no half page stays behind.
    QFile file(pagePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const QByteArray text = PageDocumentText(pictureFileName);
    if (file.write(text) != text.size() || !file.flush()) {
        file.remove();
        return false;
    }
    return true;
}
