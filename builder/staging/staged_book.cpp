#include "builder/staging/staged_book.h"

#include "archive/file_list.h"
#include "archive/zip_folder.h"
#include "builder/workflow/book_formats.h"
#include "common/cancellation.h"

#include <exception>

namespace {

// The files of the staged book in the order of the book, each packed as the kind packs what it holds.
std::vector<ListedFile> StagedFiles(const QString& stagingRoot, const BookFormat& format,
                                    const QSet<QString>& pictureNames, const PackingHooks& hooks)
{
    QStringList patterns;
    for (const QString& openingFile : format.OpeningFiles()) {
        patterns << stagingRoot + u'/' + openingFile;
    }
    const QString contentFolder = stagingRoot + u'/' + format.ContentFolder();
    patterns << contentFolder + QLatin1String("/*");
    // The walk lets events through after each file it finds, and stops when the person asks it to.
    const auto eachFound = [&hooks] {
        if (hooks.dispatchEvents) {
            hooks.dispatchEvents();
        }
        if (hooks.cancelRequested && hooks.cancelRequested()) {
            throw EUserCanceled();
        }
    };
    std::vector<ListedFile> files = ExpandFileList(patterns, stagingRoot + u'/', QString(), eachFound);
    const qsizetype contentPrefix = contentFolder.size() + 1;
    for (ListedFile& file : files) {
        const bool inContent = file.path.startsWith(contentFolder + u'/');
        const bool picture = inContent && pictureNames.contains(file.path.mid(contentPrefix));
        file.method = format.MethodFor(picture ? EntryHolds::Picture : EntryHolds::Document);
    }
    if (!files.empty() && !format.OpeningFiles().isEmpty()) {
        files.front().method = format.MethodFor(EntryHolds::Opening);
    }
    return files;
}

}  // namespace

bool PackStagedBook(const QString& bookPath, const QString& stagingRoot, const BookFormat& format,
                    const QSet<QString>& pictureNames, bool replace, const PackingHooks& hooks, QString* failureReason)
{
    std::vector<ListedFile> files;
    try {
        files = StagedFiles(stagingRoot, format, pictureNames, hooks);
    } catch (const EUserCanceled&) {
        throw;
    } catch (const std::exception& error) {
        if (failureReason != nullptr) {
            *failureReason = QString::fromUtf8(error.what());
        }
        return false;
    }
    return PackArchive(bookPath, FileList(std::move(files)), replace, BeginsAsABook, hooks, failureReason);
}
