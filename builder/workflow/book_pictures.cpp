#include "builder/workflow/book_pictures.h"

#include "builder/staging/file_copy.h"
#include "builder/workflow/conversion_ui.h"
#include "builder/workflow/event_pacer.h"
#include "comics/comic_error.h"
#include "comics/comic_reader.h"
#include "comics/picture_address.h"
#include "common/file_descriptor.h"
#include "common/file_name.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"

#include <QHash>

#include <sys/stat.h>

namespace {

PageOptions CoverOptions(PageOptions options, bool cover)
{
    if (cover) {
        options.doublePages = DoublePages::Keep;
    }
    return options;
}

// The name `name` with its extension replaced by `extension` and, for the parts of a picture made into several
// pages, the part's number before it: scan.png made into two pages gives scan-1.jpg and scan-2.jpg.
QString PartName(const QString& name, qsizetype part, qsizetype parts, const QString& extension)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    return parts > 1 ? QStringLiteral("%1-%2%3").arg(stem).arg(part + 1).arg(extension) : stem + extension;
}

// Looks at the pictures one by one, naming each picture the book holds as it goes, keeping count for the person.
class Surveyor {
public:
    Surveyor(const BookFormat& format, const PageOptions& options, qsizetype pageCount, bool withCover,
             EventPacer& pacer, ConversionUi& ui)
        : options_(options),
          total_(pageCount + (withCover ? 1 : 0)),
          registry_(format.NamePictures(pageCount, withCover)),
          pacer_(pacer),
          ui_(ui)
    {}

    // The pictures the book holds for the picture at `path`, in page order; a picture shown on several pages is
    // looked at once. A cover is made into one page whatever its shape.
    std::vector<qsizetype> Add(const QString& path, BookPictures& book, bool cover)
    {
        const auto known = firstPictureOf_.constFind(path);
        qsizetype first = 0;
        if (known != firstPictureOf_.constEnd()) {
            first = *known;
        } else {
            first = static_cast<qsizetype>(book.pictures.size());
            Look(path, book, cover);
            firstPictureOf_.insert(path, first);
        }
        ++done_;
        if (pacer_.IsDue() || done_ == total_) {
            ui_.ReportStagingProgress(done_, total_);
            pacer_.LetEventsThrough();
        }
        std::vector<qsizetype> pictures;
        for (qsizetype picture = first;
             picture < static_cast<qsizetype>(book.pictures.size())
             && book.pictures[static_cast<size_t>(picture)].source == book.pictures[static_cast<size_t>(first)].source;
             ++picture) {
            pictures.push_back(picture);
        }
        return pictures;
    }

private:
    void Look(const QString& path, BookPictures& book, bool cover)
    {
        const auto source = static_cast<qsizetype>(book.sources.size());
        SurveyedPicture surveyed{path, {}, {}, {}, 0, {}, cover};
        const PageOptions options = CoverOptions(options_, cover);
        try {
            if (const std::optional<MemberAddress> address = MemberAddressOf(path)) {
                LookInside(*address, surveyed);
            } else {
                LookAtFile(surveyed);
            }
            surveyed.plan = PlanPages(surveyed.info, options);
        } catch (const UserError& error) {
            book.problems << PictureProblem(path, error.Text());
            // The page still refers to the picture by its own name; the book will not be written.
            book.sources.push_back({path, {}, {}, {}, -1, {}, cover});
            book.pictures.push_back({source,
                                     0,
                                     registry_->NameFor(path, FileNamePart(path), FirstPlace(book, cover)),
                                     PictureKind::Jpeg,
                                     {}});
            return;
        }
        book.sources.push_back(surveyed);
        const PagePlan& plan = surveyed.plan;
        const auto parts = static_cast<qsizetype>(plan.pages.size());
        for (qsizetype part = 0; part < parts; ++part) {
            const PlannedPage& page = plan.pages[static_cast<size_t>(part)];
            const PictureKind kind = plan.unchanged ? BookKind(surveyed.info.kind) : PictureKind::Jpeg;
            const QString wanted = plan.unchanged ? NameForKind(FileNamePart(path), surveyed.info.kind)
                                                  : PartName(FileNamePart(path), part, parts, BookExtension(kind));
            // Each part is a picture of its own; the path, with the part, names it to the registry.
            const QString owner = parts > 1 ? path + u'\n' + QString::number(part) : path;
            book.pictures.push_back({source, part,
                                     registry_->NameFor(owner, wanted, cover ? 0 : FirstPlace(book, cover) + part),
                                     kind, page.size.value_or(QSize())});
            book.sizesMadeLater = book.sizesMadeLater || !page.size;
        }
    }

    // The place in the book of the first page the picture being looked at gives (0 for the cover).
    static qsizetype FirstPlace(const BookPictures& book, bool cover)
    {
        return cover ? 0 : static_cast<qsizetype>(book.pages.size()) + 1;
    }

    static void LookAtFile(SurveyedPicture& surveyed)
    {
        struct stat status {};
        QString problem;
        const FileDescriptor file = OpenRegularFile(surveyed.path, &status, &problem);
        if (!file.IsOpen()) {
            throw PictureError(problem);
        }
        surveyed.size = status.st_size;
        surveyed.info = InspectPicture(PictureSource(file.Get(), status.st_size));
    }

    // A picture inside a comic archive or PDF: the container is listed once, and its pages found there.
    void LookInside(const MemberAddress& address, SurveyedPicture& surveyed)
    {
        auto listed = listings_.find(address.container);
        if (listed == listings_.end()) {
            ContainerPages pages;
            try {
                const ComicListing listing = ComicReader::Open(address.container)->List();
                for (const ComicPage& page : listing.pages) {
                    pages.byMember.insert(page.member.path, page);
                }
            } catch (const ComicError& error) {
                pages.problem = error.Text();
            }
            listed = listings_.insert(address.container, pages);
        }
        if (!listed->problem.isEmpty()) {
            throw PictureError(listed->problem);
        }
        const auto page = listed->byMember.constFind(address.member);
        if (page == listed->byMember.constEnd()) {
            throw PictureError(QStringLiteral("no such picture in %1").arg(address.container));
        }
        surveyed.container = listed.key();
        surveyed.member = page->member;
        surveyed.info = page->info;
    }

    // What a comic archive or PDF holds, by member path; or why it cannot be read.
    struct ContainerPages {
        QHash<QString, ComicPage> byMember;
        QString problem;
    };

    PageOptions options_;
    qsizetype total_;
    std::unique_ptr<PictureNaming> registry_;
    EventPacer& pacer_;
    ConversionUi& ui_;
    qsizetype done_ = 0;
    QHash<QString, qsizetype> firstPictureOf_;
    QHash<QString, ContainerPages> listings_;
};

}  // namespace

PageOptions OptionsFor(const BookPictures& book, const SurveyedPicture& source)
{
    return CoverOptions(book.options, source.cover);
}

QString PictureProblem(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot read picture: %1 (%2)").arg(path, reason);
}

void NoteMadeSizes(BookPictures& book)
{
    for (const BookPicture& picture : book.pictures) {
        if (book.names.displayedSizes.contains(picture.name)) {
            book.names.displayedSizes.insert(picture.name, picture.size);
        }
    }
}

BookPictures SurveyPictures(const QStringList& rowPaths, const BookSettings& settings, const BookFormat& format,
                            EventPacer& pacer, ConversionUi& ui)
{
    const bool withCover = !settings.coverPath.isEmpty();
    PageOptions options = settings.pages;
    options.direction = settings.direction;
    Surveyor surveyor(format, options, rowPaths.size(), withCover, pacer, ui);
    BookPictures book;
    book.options = options;
    book.pages.reserve(static_cast<size_t>(rowPaths.size()));
    for (const QString& path : rowPaths) {
        for (const qsizetype picture : surveyor.Add(path, book, false)) {
            book.pages.push_back(picture);
        }
    }
    if (withCover) {
        book.cover = surveyor.Add(settings.coverPath, book, true).front();
    }
    // The names the documents give the pictures, and what they need to know of each.
    PictureNames& names = book.names;
    for (const qsizetype page : book.pages) {
        names.pageNames.append(book.pictures[static_cast<size_t>(page)].name);
    }
    if (book.cover >= 0) {
        names.coverName = book.pictures[static_cast<size_t>(book.cover)].name;
    }
    for (const BookPicture& picture : book.pictures) {
        if (book.sources[static_cast<size_t>(picture.source)].size >= 0 && !names.mediaTypes.contains(picture.name)) {
            names.mediaTypes.insert(picture.name, BookMediaType(picture.kind));
            names.displayedSizes.insert(picture.name, picture.size);
        }
    }
    return book;
}
