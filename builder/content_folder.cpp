#include "builder/content_folder.h"

#include "archive/zip_errors.h"
#include "builder/conversion_ui.h"
#include "builder/file_copy.h"
#include "builder/folder_tree.h"
#include "builder/page_document.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

namespace {

// How often the person's events get through while the pictures are staged.
constexpr qint64 kDispatchIntervalMs = 20;

// Copies the pictures and writes their pages, keeping count for the person.
class Stager {
public:
    Stager(const QString& oebpsDir, const QString& title, qsizetype total, ConversionUi& ui)
        : oebpsDir_(oebpsDir), title_(title), total_(total), ui_(ui)
    {
        sinceDispatch_.start();
    }

    // One picture of the book and its page. A picture shown on several pages is copied once.
    void Add(const QString& source, const QString& name, const QString& pageName, const QString& altText)
    {
        if (!copied_.contains(name)) {
            copied_.insert(name);
            const QString reason = CopyFileRefusingOverwrite(source, oebpsDir_ + u'/' + name);
            if (!reason.isEmpty()) {
                problems_ << QStringLiteral("Cannot read picture: %1 (%2)").arg(source, reason);
            }
        }
        const QString pagePath = oebpsDir_ + u'/' + pageName;
        if (!WritePageDocument(pagePath, name, title_, altText)) {
            problems_ << QStringLiteral("Cannot write page: %1").arg(pagePath);
        }
        ++done_;
        LetEventsThrough();
    }

    const QStringList& Problems() const { return problems_; }

private:
    void LetEventsThrough()
    {
        if (sinceDispatch_.elapsed() < kDispatchIntervalMs && done_ < total_) {
            return;
        }
        sinceDispatch_.restart();
        ui_.ReportStagingProgress(done_, total_);
        ui_.DispatchEvents();
        if (ui_.CancelRequested()) {
            throw EUserCanceled();
        }
    }

    QString oebpsDir_;
    QString title_;
    qsizetype total_;
    ConversionUi& ui_;
    QElapsedTimer sinceDispatch_;
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
                              const QString& oebpsDir, ConversionUi& ui)
{
    const bool withCover = !settings.coverPath.isEmpty();
    Stager stager(oebpsDir, settings.title, rowPaths.size() + (withCover ? 1 : 0), ui);
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
