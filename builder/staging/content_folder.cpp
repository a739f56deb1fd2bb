#include "builder/staging/content_folder.h"

#include "builder/staging/folder_tree.h"
#include "builder/staging/source_picture.h"
#include "builder/workflow/conversion_error.h"
#include "builder/workflow/conversion_ui.h"
#include "builder/workflow/event_pacer.h"
#include "common/file_name.h"
#include "pictures/picture_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Writes the pictures and their pages, naming each picture as it goes, keeping count for the person.
class Stager {
public:
    Stager(const BookFormat& format, const QString& oebpsDir, const QString& title, qsizetype pageCount, bool withCover,
           EventPacer& pacer, ConversionUi& ui)
        : format_(format),
          oebpsDir_(oebpsDir),
          title_(title),
          total_(pageCount + (withCover ? 1 : 0)),
          registry_(format.PictureNaming(pageCount, withCover)),
          pacer_(pacer),
          ui_(ui)
    {}

    // One picture of the book and its page; returns the picture's name in the book.
    QString Add(const QString& source, const QString& pageName, const QString& altText)
    {
        const QString name = Stage(source);
        // A kind of book whose pages have no documents of their own names none.
        const QString pagePath = oebpsDir_ + u'/' + pageName;
        if (!pageName.isEmpty()
            && WriteWholeFile(pagePath, format_.PageText({name, displayedSizes_.value(name), title_, altText}))) {
            problems_ << QStringLiteral("Cannot write page: %1").arg(pagePath);
        }
        ++done_;
        if (pacer_.IsDue() || done_ == total_) {
            ui_.ReportStagingProgress(done_, total_);
            pacer_.LetEventsThrough();
        }
        return name;
    }

    const QHash<QString, QString>& MediaTypes() const { return mediaTypes_; }
    const QHash<QString, QSize>& DisplayedSizes() const { return displayedSizes_; }
    const QStringList& Problems() const { return problems_; }

private:
    // Checks the picture and writes what the book holds for it, under a name that says its kind. A picture
    // shown on several pages is written once.
    QString Stage(const QString& source)
    {
        if (const auto staged = nameOfSource_.constFind(source); staged != nameOfSource_.constEnd()) {
            return *staged;
        }
        QString name;
        try {
            const SourcePicture picture(source);
            const PictureKind kind = picture.Info().kind;
            name = registry_->NameFor(source, NameForKind(FileNamePart(source), kind));
            // Another spelling of the path of a picture written already has its name, and its file.
            if (!mediaTypes_.contains(name)) {
                mediaTypes_.insert(name, BookMediaType(kind));
                displayedSizes_.insert(name, picture.Info().DisplayedSize());
                Write(picture, source, name);
            }
        } catch (const PictureError& error) {
            // The page still refers to the picture by its own name; the book will not be written.
            name = registry_->NameFor(source, FileNamePart(source));
            problems_ << ProblemLine(source, error.Text());
        }
        nameOfSource_.insert(source, name);
        return name;
    }

    void Write(const SourcePicture& picture, const QString& source, const QString& name)
    {
        const std::optional<CopyFailure> failure = picture.WriteTo(oebpsDir_ + u'/' + name);
        // The staging folder that cannot take a picture cannot take the book's other files either.
        if (failure && failure->writing) {
            throw ConversionError(QStringLiteral("%1 while preparing the pages in %2").arg(failure->reason, oebpsDir_));
        }
        if (failure) {
            problems_ << ProblemLine(source, failure->reason);
        }
    }

    static QString ProblemLine(const QString& source, const QString& reason)
    {
        return QStringLiteral("Cannot read picture: %1 (%2)").arg(source, reason);
    }

    const BookFormat& format_;
    QString oebpsDir_;
    QString title_;
    qsizetype total_;
    std::unique_ptr<PictureNameRegistry> registry_;
    EventPacer& pacer_;
    ConversionUi& ui_;
    qsizetype done_ = 0;
    // The name given to each path met so far, so that a picture on several pages is read once.
    QHash<QString, QString> nameOfSource_;
    QHash<QString, QString> mediaTypes_;
    QHash<QString, QSize> displayedSizes_;
    QStringList problems_;
};

}  // namespace

void RecreateContentFolder(const QString& oebpsDir)
{
    if (QFileInfo(oebpsDir).isDir()) {
        DeleteFolderTree(oebpsDir);
    }
    QDir().mkpath(oebpsDir);
}

StagedPictures FillContentFolder(const QStringList& rowPaths, const BookSettings& settings, const BookFormat& format,
                                 const QString& oebpsDir, EventPacer& pacer, ConversionUi& ui)
{
    const bool withCover = !settings.coverPath.isEmpty();
    Stager stager(format, oebpsDir, settings.title, rowPaths.size(), withCover, pacer, ui);
    StagedPictures staged;
    for (qsizetype row = 0; row < rowPaths.size(); ++row) {
        staged.names.pageNames.append(
            stager.Add(rowPaths[row], format.PageDocumentName(row + 1), QStringLiteral("Page %1").arg(row + 1)));
    }
    if (withCover) {
        staged.names.coverName = stager.Add(settings.coverPath, format.CoverPageName(), QStringLiteral("Cover"));
    }
    staged.names.mediaTypes = stager.MediaTypes();
    staged.names.displayedSizes = stager.DisplayedSizes();
    staged.problems = stager.Problems();
    return staged;
}

void WriteBookDocuments(const QList<BookDocument>& documents, const QString& oebpsDir, const PauseBetweenPages& pause)
{
    for (const BookDocument& document : documents) {
        const QString path = oebpsDir + u'/' + document.name;
        // Until commit() the bytes go to a temporary file beside the target; leaving by an error discards it.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            throw ConversionError(QStringLiteral("Cannot create file %1: %2").arg(path, file.errorString()));
        }
        document.write(file, pause);
        if (!file.commit()) {
            throw ConversionError(QStringLiteral("Cannot write file %1: %2").arg(path, file.errorString()));
        }
    }
}

std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    // A book has a page per picture, so pages are written straight in place, without a sync to disk for each; a
    // failed write removes what it left, so no half page stays behind.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.remove();
        return reason;
    }
    return std::nullopt;
}
