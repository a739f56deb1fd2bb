#include "builder/workflow/conversion.h"

#include "archive/zip_folder.h"
#include "builder/names/book_file_name.h"
#include "builder/staging/folder_tree.h"
#include "builder/staging/staged_book.h"
#include "builder/staging/staged_entries.h"
#include "builder/staging/staging_folder.h"
#include "builder/staging/staging_seed.h"
#include "builder/workflow/book_entries.h"
#include "builder/workflow/book_formats.h"
#include "builder/workflow/book_pictures.h"
#include "builder/workflow/conversion_error.h"
#include "builder/workflow/conversion_ui.h"
#include "builder/workflow/event_pacer.h"
#include "builder/workflow/picture_content.h"
#include "builder/workflow/volumes.h"
#include "common/cancellation.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <system_error>

namespace {

// At most this many problems are named one by one.
constexpr qsizetype kProblemsNamed = 10;

// Shows the busy look from its creation until it is released or goes out of scope, so that every
// way out of the command restores the normal look.
class BusyGuard {
public:
    explicit BusyGuard(ConversionUi& ui) : ui_(ui) { ui_.SetBusy(true); }
    ~BusyGuard() { Release(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    void Release()
    {
        if (busy_) {
            busy_ = false;
            ui_.SetBusy(false);
        }
    }

private:
    ConversionUi& ui_;
    bool busy_ = true;
};

PackingHooks HooksFor(ConversionUi& ui)
{
    PackingHooks hooks;
    hooks.dispatchEvents = [&ui] { ui.DispatchEvents(); };
    hooks.cancelRequested = [&ui] { return ui.CancelRequested(); };
    hooks.progress = [&ui](qint64 done, qint64 total) { ui.ReportPackingProgress(done, total); };
    hooks.shortRead = [&ui](const QString& path, qint64 expected, qint64 actual) {
        ui.ShowMessage(ShortReadText(path, expected, actual), path);
    };
    return hooks;
}

// The first character of `text` that an XML document cannot hold, as "U+0001"; empty when there is none.
QString CharacterXmlCannotHold(const QString& text)
{
    for (const char32_t c : text.toUcs4()) {
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
                             || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        if (!allowed) {
            return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
        }
    }
    return {};
}

// The title and the author go into every document of the book; a character XML cannot hold would
// make them unreadable.
void CheckTextsOfTheBook(const BookSettings& settings)
{
    const QList<std::pair<QString, QString>> fields = {{QStringLiteral("book title"), settings.title},
                                                       {QStringLiteral("author name"), settings.author}};
    for (const auto& [field, text] : fields) {
        const QString character = CharacterXmlCannotHold(text);
        if (!character.isEmpty()) {
            throw ConversionError(
                QStringLiteral("The %1 holds the character %2, which a book cannot hold.").arg(field, character));
        }
    }
}

// Creates the output folder with every missing parent; why it could not, or empty.
QString CreateOutputFolder(const QString& folder)
{
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error) {
        return QStringLiteral("Cannot create the folder %1: %2").arg(folder, QString::fromStdString(error.message()));
    }
    return {};
}

// What stands in the way of writing the book at `bookPath` once the pictures are staged; empty when nothing does.
QString ObstacleToWriting(const QStringList& problems, const QString& outputFolder, const QString& bookPath)
{
    if (!problems.isEmpty()) {
        return ProblemsText(problems);
    }
    const QString folderProblem = CreateOutputFolder(outputFolder);
    if (!folderProblem.isEmpty()) {
        return folderProblem;
    }
    if (QFileInfo(bookPath).isDir()) {
        return QStringLiteral("A folder of that name exists.");
    }
    return {};
}

// The result of `work`, letting the person's events through while it is not ready. Work that could not get a
// thread of its own runs here.
QString ResultLettingEventsThrough(std::future<QString>& work, EventPacer& pacer)
{
    constexpr std::chrono::milliseconds kLookAgain(5);
    while (work.wait_for(kLookAgain) == std::future_status::timeout) {
        pacer.Pause();
    }
    return work.get();
}

// The content folder of a book of `format` staged in `stagingRoot`.
QString ContentFolderIn(const QString& stagingRoot, const BookFormat& format)
{
    return format.ContentFolder().isEmpty() ? stagingRoot : stagingRoot + u'/' + format.ContentFolder();
}

// The names of the pictures that go into the book.
QSet<QString> PictureFileNames(const BookPictures& pictures)
{
    QSet<QString> names;
    for (const BookPicture& picture : pictures.pictures) {
        if (pictures.sources[static_cast<size_t>(picture.source)].size >= 0) {
            names.insert(picture.name);
        }
    }
    return names;
}

// What the conversion knows of the book before anything of it is written: its pictures and its identifier.
struct SurveyedBook {
    BookPictures pictures;
    QString identifier;
};

// Looks at every picture of the book and finds the identifier it keeps, letting the person's events through all
// along. An earlier book's identifier is kept when `settingsComplete` gives the book a path.
SurveyedBook SurveyBook(const QStringList& rowPaths, const BookSettings& settings, bool settingsComplete,
                        ConversionUi& ui)
{
    const BookFormat& format = FormatOf(settings);
    EventPacer pacer(ui);
    // Finding the identifier in the directory of a big earlier book takes a while; it is read on a thread of its
    // own, so that the person's events keep getting through, and before the pictures are looked at, so that the
    // memory it takes is free again for them.
    std::future<QString> earlierIdentifier = std::async(
        std::launch::async | std::launch::deferred,
        [&format](const QString& bookPath) { return format.IdentifierFor(bookPath); },
        settingsComplete ? BookPath(settings) : QString());
    const QString identifier = ResultLettingEventsThrough(earlierIdentifier, pacer);
    return {SurveyPictures(rowPaths, settings, format, pacer, ui), identifier};
}

// Whether a file, or a link to one, already lies at the book's path. A folder there is an obstacle, not a
// book to replace.
bool IsTaken(const QString& bookPath)
{
    const QFileInfo earlierBook(bookPath);
    return (earlierBook.exists() || earlierBook.isSymLink()) && !earlierBook.isDir();
}

bool AskToReplace(ConversionUi& ui)
{
    return ui.AskOverwrite(QStringLiteral("The file is existing. Overwrite?"), QStringLiteral("Information"));
}

// Looks at the pictures, stages the book when it is staged, checks what it needs and packs it: the conversion after
// its first steps. Raises EUserCanceled when the person asks to stop.
ConversionResult MakeBook(QStringList rowPaths, const BookSettings& settings, const ConversionPlaces& places,
                          ConversionUi& ui, BusyGuard& busy)
{
    const BookFormat& format = FormatOf(settings);
    const QString missing = MissingSettingMessage(settings);
    const QString bookPath = BookPath(settings);
    const bool staged = !places.stagingRoot.isEmpty();
    const auto tellMissing = [&] {
        busy.Release();
        ui.ShowMessage(missing, kNoteCaption);
        return ConversionResult::SettingMissing;
    };
    // Without a staging folder to fill, a missing setting is all there is to say.
    if (!staged && !missing.isEmpty()) {
        return tellMissing();
    }
    // A book already at the path is asked about before the long work, so that the person answers at once instead
    // of waiting for the pages to be prepared; No then costs nothing.
    bool replace = false;
    if (missing.isEmpty() && IsTaken(bookPath)) {
        if (!AskToReplace(ui)) {
            return ConversionResult::ReplaceDeclined;
        }
        replace = true;
    }
    SurveyedBook surveyed = SurveyBook(rowPaths, settings, missing.isEmpty(), ui);
    // The paths of a big book take megabytes that packing can use better.
    rowPaths = QStringList();
    BookPictures& pictures = surveyed.pictures;
    const BookFacts facts{settings, pictures.names, surveyed.identifier, BookMoment::Now()};
    const auto fail = [&](const QString& reason) {
        busy.Release();
        ui.ShowError(QStringLiteral("Failed to build: ") + bookPath + u'\n' + reason);
        return ConversionResult::Failed;
    };
    if (staged) {
        // The files every book of the kind begins with are in the staging root already.
        try {
            WriteEntriesToFolder(BookEntries(format, pictures, facts, {}), places.stagingRoot, HooksFor(ui));
        } catch (const UnusablePicture& unusable) {
            return fail(unusable.Text());
        }
        if (!missing.isEmpty()) {
            return tellMissing();
        }
    }
    const QString obstacle = ObstacleToWriting(pictures.problems, settings.outputFolder, bookPath);
    if (!obstacle.isEmpty()) {
        return fail(obstacle);
    }
    // A book that appeared while the pages were prepared is asked about now.
    if (!replace && IsTaken(bookPath)) {
        if (!AskToReplace(ui)) {
            return ConversionResult::ReplaceDeclined;
        }
        replace = true;
    }

    QString failureReason;
    // Without a Yes, nothing is replaced: a book that appears meanwhile stays and this one fails.
    const bool packed = staged ? PackStagedBook(bookPath, places.stagingRoot, format, PictureFileNames(pictures),
                                                replace, HooksFor(ui), &failureReason)
                               : PackArchive(bookPath, BookEntries(format, pictures, facts, places.installationData),
                                             replace, BeginsAsABook, HooksFor(ui), &failureReason);
    busy.Release();
    if (!packed) {
        return fail(failureReason);
    }
    ui.ShowSuccess(QStringLiteral("Successed to build: ") + bookPath, QStringLiteral("Congratulation"));
    ui.OpenFolder(settings.outputFolder, bookPath);
    return ConversionResult::BookWritten;
}

// The volumes of a book kept under a size, each a book of its own: the pages' pictures are made first, into a
// temporary folder, so that their sizes are known; then the pages are parted into as few volumes as keep under the
// size, each written from the pictures made, as "Title 1", "Title 2", ... of the series the title names (or of the
// series the settings give). A book that fits keeps its own title. Raises EUserCanceled when the person asks to stop.
ConversionResult MakeVolumes(QStringList rowPaths, const BookSettings& settings, const ConversionPlaces& places,
                             ConversionUi& ui, BusyGuard& busy)
{
    const BookFormat& format = FormatOf(settings);
    const QString missing = MissingSettingMessage(settings);
    if (!missing.isEmpty()) {
        busy.Release();
        ui.ShowMessage(missing, kNoteCaption);
        return ConversionResult::SettingMissing;
    }
    const QString bookPath = BookPath(settings);
    const auto fail = [&](const QString& reason) {
        busy.Release();
        ui.ShowError(QStringLiteral("Failed to build: ") + bookPath + u'\n' + reason);
        return ConversionResult::Failed;
    };
    SurveyedBook surveyed = SurveyBook(rowPaths, settings, false, ui);
    rowPaths = QStringList();
    BookPictures& pictures = surveyed.pictures;
    const QString obstacle = ObstacleToWriting(pictures.problems, settings.outputFolder, bookPath);
    if (!obstacle.isEmpty()) {
        return fail(obstacle);
    }
    const TemporaryWorkFolder work;
    const BookFacts facts{settings, pictures.names, {}, BookMoment::Now()};
    try {
        WriteEntriesToFolder(BookEntries(format, pictures, facts, {}, BookEntries::Holding::PicturesOnly), work.Path(),
                             HooksFor(ui));
    } catch (const UnusablePicture& unusable) {
        return fail(unusable.Text());
    }
    const QString madeFolder = ContentFolderIn(work.Path(), format);
    const auto made = [&](qsizetype picture) {
        return madeFolder + u'/' + pictures.pictures[static_cast<size_t>(picture)].name;
    };
    std::vector<qint64> pageBytes;
    for (const qsizetype picture : pictures.pages) {
        pageBytes.push_back(QFileInfo(made(picture)).size() + kBytesOfAPageBesidesItsPicture);
    }
    const qint64 coverBytes = pictures.cover >= 0 ? QFileInfo(made(pictures.cover)).size() : 0;
    const std::vector<VolumeOfPages> volumes =
        PlanVolumes(pageBytes, kBytesOfABookBesidesItsPages + coverBytes, settings.maxBookBytes);
    if (volumes.empty()) {
        return fail(QStringLiteral("A page alone, with the cover, takes more than the %1 bytes a book may have.")
                        .arg(settings.maxBookBytes));
    }

    // Each volume is made of the pictures made: kept as they are, and named as they were.
    BookSettings volume = settings;
    volume.pages = {};
    volume.maxBookBytes = 0;
    volume.coverPath = pictures.cover >= 0 ? made(pictures.cover) : QString();
    QList<std::pair<QStringList, BookSettings>> books;
    for (qsizetype number = 1; number <= static_cast<qsizetype>(volumes.size()); ++number) {
        const VolumeOfPages& pages = volumes[static_cast<size_t>(number - 1)];
        QStringList rows;
        for (qsizetype page = pages.first; page < pages.end; ++page) {
            rows << made(pictures.pages[static_cast<size_t>(page)]);
        }
        BookSettings numbered = volume;
        if (volumes.size() > 1) {
            numbered.title = QStringLiteral("%1 %2").arg(settings.title).arg(number);
            if (settings.series.isEmpty()) {
                numbered.series = settings.title;
                numbered.seriesNumber = QString::number(number);
            }
        }
        books.append({rows, numbered});
    }
    bool replace = false;
    if (std::any_of(books.cbegin(), books.cend(), [](const auto& book) { return IsTaken(BookPath(book.second)); })) {
        if (!AskToReplace(ui)) {
            busy.Release();
            return ConversionResult::ReplaceDeclined;
        }
        replace = true;
    }
    QStringList written;
    for (const auto& [rows, book] : books) {
        SurveyedBook volumePictures = SurveyBook(rows, book, true, ui);
        const BookFacts volumeFacts{book, volumePictures.pictures.names, volumePictures.identifier, BookMoment::Now()};
        QString failureReason;
        if (!PackArchive(BookPath(book),
                         BookEntries(format, volumePictures.pictures, volumeFacts, places.installationData), replace,
                         BeginsAsABook, HooksFor(ui), &failureReason)) {
            return fail(BookPath(book) + u'\n' + failureReason);
        }
        written << BookPath(book);
    }
    busy.Release();
    ui.ShowSuccess(written.size() == 1 ? QStringLiteral("Successed to build: ") + written.front()
                                       : QStringLiteral("Successed to build %1 volumes: ").arg(written.size())
                                             + written.join(QStringLiteral(", ")),
                   QStringLiteral("Congratulation"));
    ui.OpenFolder(settings.outputFolder, written.front());
    return ConversionResult::BookWritten;
}

}  // namespace

QString BookPath(const BookSettings& settings)
{
    const QString separator = settings.outputFolder.endsWith(u'/') ? QString() : QStringLiteral("/");
    return settings.outputFolder + separator + BookFileName(settings.title, FormatOf(settings).Extension());
}

QString MissingSettingMessage(const BookSettings& settings)
{
    if (settings.outputFolder.isEmpty()) {
        return QStringLiteral("Please set the saving path!");
    }
    if (settings.title.isEmpty()) {
        return QStringLiteral("Please set the book title!");
    }
    if (settings.author.isEmpty()) {
        return QStringLiteral("Please set the author name!");
    }
    return {};
}

QString ProblemsText(const QStringList& problems)
{
    QStringList lines = problems.mid(0, kProblemsNamed);
    if (problems.size() > kProblemsNamed) {
        lines << QStringLiteral("and %1 more").arg(problems.size() - kProblemsNamed);
    }
    return lines.join(u'\n');
}

ConversionResult ConvertBook(QStringList rowPaths, const BookSettings& settings, const ConversionPlaces& places,
                             ConversionUi& ui)
{
    if (rowPaths.isEmpty()) {
        return ConversionResult::NothingToConvert;
    }
    CheckTextsOfTheBook(settings);
    const BookFormat& format = FormatOf(settings);
    if (!places.stagingRoot.isEmpty()) {
        SeedStagingRoot(places.installationData, places.stagingRoot, format.OpeningFiles());
        // A kind whose content lies at the book's top has the staging folder emptied but for its marker.
        if (format.ContentFolder().isEmpty()) {
            DeleteFolderContent(places.stagingRoot, QLatin1String(kChosenStagingMarker), {});
        } else {
            RecreateContentFolder(ContentFolderIn(places.stagingRoot, format));
        }
    }
    BusyGuard busy(ui);
    try {
        // A book kept under a size is staged in a folder of its own to be parted, never in a chosen one.
        if (settings.maxBookBytes > 0 && places.stagingRoot.isEmpty()) {
            return MakeVolumes(std::move(rowPaths), settings, places, ui, busy);
        }
        return MakeBook(std::move(rowPaths), settings, places, ui, busy);
    } catch (const EUserCanceled&) {
        // The person asked to stop and knows it: nothing more is said.
        return ConversionResult::Canceled;
    }
}
