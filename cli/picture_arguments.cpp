#include "cli/picture_arguments.h"

#include "builder/file_copy.h"
#include "pages/picture_files.h"

namespace {

QString ProblemLine(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot read picture: %1 (%2)").arg(path, reason);
}

void CheckPicture(const QString& path, QStringList* problems)
{
    const QString reason = PictureProblem(path);
    if (!reason.isEmpty()) {
        problems->append(ProblemLine(path, reason));
    }
}

}  // namespace

PictureArguments ExpandPictureArguments(const QStringList& arguments, const QString& coverPath)
{
    const FolderPictures named = PicturesNamedBy(arguments);
    PictureArguments expanded;
    expanded.pictures = named.paths;
    for (const QString& path : named.undecodable) {
        expanded.problems << ProblemLine(path, QStringLiteral("the name is not valid UTF-8"));
    }
    for (const QString& picture : std::as_const(expanded.pictures)) {
        CheckPicture(picture, &expanded.problems);
    }
    if (!coverPath.isEmpty()) {
        CheckPicture(coverPath, &expanded.problems);
    }
    return expanded;
}
