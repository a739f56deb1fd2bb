#include "builder/workflow/picture_content.h"

#include "archive/byte_source.h"
#include "builder/staging/file_copy.h"
#include "common/file_descriptor.h"
#include "pictures/byte_output.h"
#include "pictures/picture_check.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_preparation.h"

#include <sys/stat.h>

#include <optional>

namespace {

// A picture up to this size is read into memory in one go, checked there and packed from there: read once. A larger
// one is read where it lies, and so read twice, the second time from the system's cache.
constexpr qint64 kLargestPictureReadWhole = 64 * 1024 * 1024;
constexpr qint64 kStreamBlockSize = 64 * 1024;

// The picture's bytes, as the book holds them, go to the entry.
class EntryOutput final : public ByteOutput {
public:
    explicit EntryOutput(EntryWriter& out) : out_(out) {}

    void Write(const void* data, std::size_t length) override
    {
        out_.Write(static_cast<const char*>(data), static_cast<qint64>(length));
    }

private:
    EntryWriter& out_;
};

class PictureContent final : public EntryContent {
public:
    explicit PictureContent(const SurveyedPicture& picture) : picture_(picture)
    {
        struct stat status {};
        QString problem;
        file_ = OpenRegularFile(picture_.path, &status, &problem);
        if (!file_.IsOpen()) {
            Refuse(problem);
        }
        facts_.size = status.st_size;
        facts_.modified = status.st_mtime;
        facts_.source = picture_.path;
    }

    const EntryFacts& Facts() const override { return facts_; }

    void WriteTo(EntryWriter& out) override
    {
        try {
            const std::optional<QByteArray> whole =
                facts_.size <= kLargestPictureReadWhole ? std::optional<QByteArray>(ReadWhole()) : std::nullopt;
            const PictureSource source = whole ? PictureSource(*whole) : PictureSource(file_.Get(), facts_.size);
            const PictureInfo info = InspectPicture(source);
            if (info.kind != picture_.info.kind || info.size != picture_.info.size
                || info.orientation != picture_.info.orientation) {
                Refuse(QStringLiteral("it changed while the book was made"));
            }
            EntryOutput output(out);
            if (!info.CarriedAsIs()) {
                PrepareForBook(source, info, output);
                return;
            }
            CheckPictureWhole(source, info);
            if (whole) {
                output.Write(whole->constData(), static_cast<std::size_t>(whole->size()));
            } else {
                Stream(out);
            }
        } catch (const PictureError& error) {
            if (error.OfOutput()) {
                throw;
            }
            Refuse(error.Text());
        }
    }

private:
    [[noreturn]] void Refuse(const QString& reason) const
    {
        throw UnusablePicture(PictureProblem(picture_.path, reason));
    }

    // The whole file, as much of it as there is now.
    QByteArray ReadWhole() const
    {
        QByteArray bytes(facts_.size, Qt::Uninitialized);
        FileReader reader(file_.Get(), facts_.size, picture_.path);
        bytes.truncate(reader.ReadAt(0, bytes.data(), facts_.size));
        return bytes;
    }

    void Stream(EntryWriter& out) const
    {
        FileReader reader(file_.Get(), facts_.size, picture_.path);
        QByteArray block(kStreamBlockSize, Qt::Uninitialized);
        for (qint64 offset = 0;;) {
            const qint64 got = reader.ReadAt(offset, block.data(), kStreamBlockSize);
            if (got == 0) {
                return;
            }
            out.Write(block.constData(), got);
            offset += got;
        }
    }

    const SurveyedPicture& picture_;
    FileDescriptor file_;
    EntryFacts facts_;
};

}  // namespace

std::unique_ptr<EntryContent> OpenPictureContent(const SurveyedPicture& picture)
{
    return std::make_unique<PictureContent>(picture);
}
