#include "builder/staging/source_picture.h"

#include "pictures/file_output.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_preparation.h"

namespace {

FileDescriptor OpenPicture(const QString& path, struct stat* status)
{
    QString problem;
    FileDescriptor file = OpenRegularFile(path, status, &problem);
    if (!file.IsOpen()) {
        throw PictureError(problem);
    }
    return file;
}

}  // namespace

SourcePicture::SourcePicture(const QString& path)
    : file_(OpenPicture(path, &status_)),
      source_(file_.Get(), status_.st_size),
      info_(InspectPicture(source_))
{}

std::optional<CopyFailure> SourcePicture::WriteTo(const QString& target) const
{
    return WriteCopy(target, status_, [this](int to) { return WritePicture(to); });
}

std::optional<CopyFailure> SourcePicture::WritePicture(int target) const
{
    if (info_.CarriedAsIs()) {
        // The check read the file with positioned reads only: its offset is still at its start.
        return CopyContent(file_.Get(), target);
    }
    try {
        FileOutput output(target);
        PrepareForBook(source_, info_, output);
    } catch (const PictureError& error) {
        return CopyFailure{error.Text(), error.OfOutput()};
    }
    return std::nullopt;
}
