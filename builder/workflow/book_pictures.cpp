#include "builder/workflow/book_pictures.h"

#include "builder/staging/file_copy.h"
#include "builder/workflow/conversion_ui.h"
#include "builder/workflow/event_pacer.h"
#include "common/file_descriptor.h"
#include "common/file_name.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"

#include <QHash>

#include <sys/stat.h>

namespace {

// Looks at the pictures one by one, naming each as it goes, keeping count for the person.
class Surveyor {
public:
    Surveyor(const BookFormat& format, qsizetype pageCount, bool withCover, EventPacer& pacer, ConversionUi& ui)
        : total_(pageCount + (withCover ? 1 : 0)),
          registry_(format.PictureNaming(pageCount, withCover)),
          pacer_(pacer),
          ui_(ui)
    {}

    // The index of the picture at `path` in the book's pictures; a picture shown on several pages is looked at once.
    qsizetype Add(const QString& path, BookPictures& book)
    {
        qsizetype index = 0;
        if (const auto known = indexOfPath_.constFind(path); known != indexOfPath_.constEnd()) {
            index = *known;
        } else {
            index = static_cast<qsizetype>(book.pictures.size());
            book.pictures.push_back(Look(path, book));
            indexOfPath_.insert(path, index);
        }
        ++done_;
        if (pacer_.IsDue() || done_ == total_) {
            ui_.ReportStagingProgress(done_, total_);
            pacer_.LetEventsThrough();
        }
        return index;
    }

private:
    SurveyedPicture Look(const QString& path, BookPictures& book)
    {
        SurveyedPicture picture{path, {}, 0, {}};
        try {
            struct stat status {};
            QString problem;
            const FileDescriptor file = OpenRegularFile(path, &status, &problem);
            if (!file.IsOpen()) {
                throw PictureError(problem);
            }
            picture.size = status.st_size;
            picture.info = InspectPicture(PictureSource(file.Get(), status.st_size));
            picture.name = registry_->NameFor(path, NameForKind(FileNamePart(path), picture.info.kind));
        } catch (const PictureError& error) {
            book.problems << PictureProblem(path, error.Text());
            // The page still refers to the picture by its own name; the book will not be written.
            picture.name = registry_->NameFor(path, FileNamePart(path));
            picture.size = -1;
        }
        return picture;
    }

    qsizetype total_;
    std::unique_ptr<PictureNameRegistry> registry_;
    EventPacer& pacer_;
    ConversionUi& ui_;
    qsizetype done_ = 0;
    QHash<QString, qsizetype> indexOfPath_;
};

// The names the documents give the pictures, and what they need to know of each.
PictureNames NamesOf(const BookPictures& book)
{
    PictureNames names;
    for (const qsizetype page : book.pages) {
        names.pageNames.append(book.pictures[static_cast<size_t>(page)].name);
    }
    if (book.cover >= 0) {
        names.coverName = book.pictures[static_cast<size_t>(book.cover)].name;
    }
    for (const SurveyedPicture& picture : book.pictures) {
        if (picture.size >= 0 && !names.mediaTypes.contains(picture.name)) {
            names.mediaTypes.insert(picture.name, BookMediaType(picture.info.kind));
            names.displayedSizes.insert(picture.name, picture.info.DisplayedSize());
        }
    }
    return names;
}

}  // namespace

QString PictureProblem(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot read picture: %1 (%2)").arg(path, reason);
}

BookPictures SurveyPictures(const QStringList& rowPaths, const BookSettings& settings, const BookFormat& format,
                            EventPacer& pacer, ConversionUi& ui)
{
    const bool withCover = !settings.coverPath.isEmpty();
    Surveyor surveyor(format, rowPaths.size(), withCover, pacer, ui);
    BookPictures book;
    book.pages.reserve(static_cast<size_t>(rowPaths.size()));
    for (const QString& path : rowPaths) {
        book.pages.push_back(surveyor.Add(path, book));
    }
    if (withCover) {
        book.cover = surveyor.Add(settings.coverPath, book);
    }
    book.names = NamesOf(book);
    return book;
}
