#include "builder/content_folder.h"

#include "builder/file_copy.h"
#include "builder/folder_tree.h"
#include "builder/page_document.h"
#include "builder/picture_names.h"

#include <QDir>
#include <QFileInfo>

namespace {

// One picture of the book and its page: the copy may fail (a missing picture, say); the page is
// written anyway and refers to the picture by name.
void AddPicture(const QString& source, const QString& name, const QString& pagePath, const QString& oebpsDir)
{
    CopyFileRefusingOverwrite(source, oebpsDir + u'/' + name);
    WritePageDocument(pagePath, name);
}

}  // namespace

void RecreateContentFolder(const QString& oebpsDir)
{
    if (QFileInfo(oebpsDir).isDir()) {
        DeleteFolderTree(oebpsDir);
    }
    QDir().mkpath(oebpsDir);
}

QString FillContentFolder(const QStringList& rowPaths, const QString& coverPath, const QString& oebpsDir)
{
    const PictureNames names = AssignPictureNames(rowPaths, coverPath);
    for (qsizetype row = 0; row < rowPaths.size(); ++row) {
        const QString pagePath = oebpsDir + QStringLiteral("/page%1.html").arg(row + 1);
        AddPicture(rowPaths[row], names.pageNames[row], pagePath, oebpsDir);
    }
    if (!coverPath.isEmpty()) {
        AddPicture(coverPath, names.coverName, oebpsDir + QStringLiteral("/cover.html"), oebpsDir);
    }
    return names.coverName;
}
