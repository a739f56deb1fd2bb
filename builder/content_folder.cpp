#include "builder/content_folder.h"

#include "builder/file_copy.h"
#include "builder/folder_tree.h"
#include "builder/page_document.h"

#include <QDir>
#include <QFileInfo>

namespace {

// One picture of the book and its page: the copy may fail (a missing picture, say); the page is
// written anyway and refers to the picture by name.
void AddPicture(const QString& source, const QString& name, const QString& pagePath, const QString& title,
                const QString& altText, const QString& oebpsDir)
{
    CopyFileRefusingOverwrite(source, oebpsDir + u'/' + name);
    WritePageDocument(pagePath, name, title, altText);
}

}  // namespace

void RecreateContentFolder(const QString& oebpsDir)
{
    if (QFileInfo(oebpsDir).isDir()) {
        DeleteFolderTree(oebpsDir);
    }
    QDir().mkpath(oebpsDir);
}

void FillContentFolder(const QStringList& rowPaths, const BookSettings& settings, const PictureNames& names,
                       const QString& oebpsDir)
{
    for (qsizetype row = 0; row < rowPaths.size(); ++row) {
        const QString page = QString::number(row + 1);
        AddPicture(rowPaths[row], names.pageNames[row], oebpsDir + QStringLiteral("/page") + page + QStringLiteral(".html"),
                   settings.title, QStringLiteral("Page ") + page, oebpsDir);
    }
    if (!settings.coverPath.isEmpty()) {
        AddPicture(settings.coverPath, names.coverName, oebpsDir + QStringLiteral("/cover.html"), settings.title,
                   QStringLiteral("Cover"), oebpsDir);
    }
}
