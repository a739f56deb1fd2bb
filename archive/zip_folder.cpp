#include "archive/zip_folder.h"

#include "archive/zip_writer.h"
#include "common/cancellation.h"

#include <exception>

namespace {

constexpr char kUnknownFailureText[] = "error";

bool Fail(QString* failureReason, const QString& text)
{
    if (failureReason != nullptr) {
        *failureReason = text;
    }
    return false;
}

QString WithoutTrailingSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder;
}

// What a request to stop does to a packing: it fails like any error, or it passes to the caller.
enum class OnCancel { Fail, PassOn };

// Runs a writer that `write` sets up and runs, as a whole: true when it ran to its end.
template <typename Write>
bool RunWriter(const PackingHooks& hooks, QString* failureReason, OnCancel onCancel, Write write)
{
    try {
        ZipWriter writer(hooks);
        if (hooks.dispatchEvents) {
            hooks.dispatchEvents();
        }
        write(writer);
        return true;
    } catch (const EUserCanceled& canceled) {
        if (onCancel == OnCancel::PassOn) {
            throw;
        }
        return Fail(failureReason, QString::fromUtf8(canceled.what()));
    } catch (const std::exception& error) {
        return Fail(failureReason, QString::fromUtf8(error.what()));
    } catch (...) {
        return Fail(failureReason, QLatin1String(kUnknownFailureText));
    }
}

}  // namespace

bool ZipFolder(const QString& archivePath, const QString& folder, const PackingHooks& hooks, QString* failureReason,
               const QByteArray& firstStoredEntry)
{
    const QString root = WithoutTrailingSeparator(folder);
    return RunWriter(hooks, failureReason, OnCancel::Fail, [&](ZipWriter& writer) {
        writer.SetRootDir(root);
        writer.SetFirstStoredEntry(firstStoredEntry);
        writer.SetZipName(archivePath);
        writer.FilesList().append(root + QLatin1String("/*.*"));
        return writer.WriteArchive();
    });
}

bool PackArchive(const QString& archivePath, const ArchiveList& list, bool replace, const LeftoverCheck& leftoverCheck,
                 const PackingHooks& hooks, QString* failureReason)
{
    return RunWriter(hooks, failureReason, OnCancel::PassOn, [&](ZipWriter& writer) {
        writer.SetZipName(archivePath);
        writer.SetZipAction(replace ? zaReplace : zaCreate);
        writer.SetLeftoverCheck(leftoverCheck);
        return writer.WriteArchive(list);
    });
}
