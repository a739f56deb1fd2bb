#include "builder/content_folder.h"

#include "builder/book_documents.h"
#include "builder/book_entry_names.h"
#include "builder/conversion_error.h"
#include "builder/conversion_ui.h"
#include "builder/event_pacer.h"
#include "builder/folder_tree.h"
#include "builder/source_picture.h"
#include "common/file_name.h"
#include "pictures/picture_error.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Writes the pictures and their pages, naming each picture as it goes, keeping count for the person.
class Stager {
public:
    Stager(const BookDocuments& documents, const QString& oebpsDir, const QString& title, qsizetype pageCount,
           bool withCover, EventPacer& pacer, ConversionUi& ui)
        : documents_(documents),
          oebpsDir_(oebpsDir),
          title_(title),
          total_(pageCount + (withCover ? 1 : 0)),
          registry_(pageCount, withCover),
          pacer_(pacer),
          ui_(ui)
    {}

    // One picture of the book and its page; returns the picture's name in the book.
    QString Add(const QString& source, const QString& pageName, const QString& altText)
    {
        const QString name = Stage(source);
        const QString pagePath = oebpsDir_ + u'/' + pageName;
        if (!documents_.WritePage(pagePath, {name, displayedSizes_.value(name), title_, altText})) {
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
            name = registry_.NameFor(source, NameForKind(FileNamePart(source), kind));
            // Another spelling of the path of a picture written already has its name, and its file.
            if (!mediaTypes_.contains(name)) {
                mediaTypes_.insert(name, BookMediaType(kind));
                displayedSizes_.insert(name, picture.Info().DisplayedSize());
                Write(picture, source, name);
            }
        } catch (const PictureError& error) {
            // The page still refers to the picture by its own name; the book will not be written.
            name = registry_.NameFor(source, FileNamePart(source));
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

    const BookDocuments& documents_;
    QString oebpsDir_;
    QString title_;
    qsizetype total_;
    PictureNameRegistry registry_;
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

StagedPictures FillContentFolder(const QStringList& rowPaths, const BookSettings& settings,
                                 const BookDocuments& documents, const QString& oebpsDir, EventPacer& pacer,
                                 ConversionUi& ui)
{
    const bool withCover = !settings.coverPath.isEmpty();
    Stager stager(documents, oebpsDir, settings.title, rowPaths.size(), withCover, pacer, ui);
    StagedPictures staged;
    for (qsizetype row = 0; row < rowPaths.size(); ++row) {
        staged.names.pageNames.append(stager.Add(rowPaths[row], PageDocumentName(row + 1, settings.layout),
                                                 QStringLiteral("Page %1").arg(row + 1)));
    }
    if (withCover) {
        staged.names.coverName =
            stager.Add(settings.coverPath, CoverPageName(settings.layout), QStringLiteral("Cover"));
    }
    staged.names.mediaTypes = stager.MediaTypes();
    staged.names.displayedSizes = stager.DisplayedSizes();
    staged.problems = stager.Problems();
    return staged;
}
