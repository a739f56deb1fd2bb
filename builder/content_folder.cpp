#include "builder/content_folder.h"

#include "builder/conversion_error.h"
#include "builder/conversion_ui.h"
#include "builder/event_pacer.h"
#include "builder/file_copy.h"
#include "builder/folder_tree.h"
#include "builder/page_document.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

// Copies the pictures and writes their pages, keeping count for the person.
class Stager {
public:
    Stager(const QString& oebpsDir, const QString& title, qsizetype total, EventPacer& pacer, ConversionUi& ui)
        : oebpsDir_(oebpsDir),
          title_(title),
          total_(total),
          pacer_(pacer),
          ui_(ui)
    {}

    // One picture of the book and its page. A picture shown on several pages is copied once.
    void Add(const QString& source, const QString& name, const QString& pageName, const QString& altText)
    {
        if (!copied_.contains(name)) {
            copied_.insert(name);
            const std::optional<CopyFailure> failure = CopyFileRefusingOverwrite(source, oebpsDir_ + u'/' + name);
            // The staging folder that cannot take a copy cannot take the book's other files either.
            if (failure && failure->writing) {
                throw ConversionError(
                    QStringLiteral("%1 while preparing the pages in %2").arg(failure->reason, oebpsDir_));
            }
            if (failure) {
                problems_ << QStringLiteral("Cannot read picture: %1 (%2)").arg(source, failure->reason);
            }
        }
        const QString pagePath = oebpsDir_ + u'/' + pageName;
        if (!WritePageDocument(pagePath, name, title_, altText)) {
            problems_ << QStringLiteral("Cannot write page: %1").arg(pagePath);
        }
        ++done_;
        if (pacer_.IsDue() || done_ == total_) {
            ui_.ReportStagingProgress(done_, total_);
            pacer_.LetEventsThrough();
        }
    }

    const QStringList& Problems() const { return problems_; }

private:
    QString oebpsDir_;
    QString title_;
    qsizetype total_;
    EventPacer& pacer_;
    ConversionUi& ui_;
    qsizetype done_ = 0;
    QSet<QString> copied_;
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

QStringList FillContentFolder(const QStringList& rowPaths, const BookSettings& settings, const PictureNames& names,
                              const QString& oebpsDir, EventPacer& pacer, ConversionUi& ui)
{
    const bool withCover = !settings.coverPath.isEmpty();
    Stager stager(oebpsDir, settings.title, rowPaths.size() + (withCover ? 1 : 0), pacer, ui);
    for (qsizetype row = 0; row < rowPaths.size(); ++row) {
        const QString page = QString::number(row + 1);
        stager.Add(rowPaths[row], names.pageNames[row], QStringLiteral("page") + page + QStringLiteral(".html"),
                   QStringLiteral("Page ") + page);
    }
    if (withCover) {
        stager.Add(settings.coverPath, names.coverName, QStringLiteral("cover.html"), QStringLiteral("Cover"));
    }
    return stager.Problems();
}
