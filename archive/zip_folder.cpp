#include "archive/zip_folder.h"

#include "archive/zip_writer.h"

#include <exception>

namespace {

constexpr char kOnlyPackingText[] = "Only packing a folder into one archive file is supported";
constexpr char kUnknownFailureText[] = "error";

bool Fail(QString* failureReason, const QString& text)
{
    if (failureReason != nullptr) {
        *failureReason = text;
    }
    return false;
}

} // namespace

bool ZipFolder(int direction, int volumeSize, const QString& archivePath, const QString& folder,
               const PackingHooks& hooks, QString* failureReason)
{
    if (direction != 0 || volumeSize != 0) {
        return Fail(failureReason, QLatin1String(kOnlyPackingText));
    }
    try {
        QString root = folder;
        if (root.endsWith(QLatin1Char('/'))) {
            root.chop(1);
        }
        ZipWriter writer(hooks);
        writer.SetRootDir(root);
        writer.SetRelativePaths(true);
        // A book's container must open with its media type, uncompressed, so that readers can tell the file
        // from its first bytes.
        writer.SetFirstStoredEntry(QByteArrayLiteral("mimetype"));
        writer.FilesList().clear();
        writer.SetZipName(archivePath);
        writer.FilesList().append(root + QLatin1String("/*.*"));
        if (hooks.dispatchEvents) {
            hooks.dispatchEvents();
        }
        writer.WriteArchive();
        return true;
    } catch (const std::exception& error) {
        return Fail(failureReason, QString::fromUtf8(error.what()));
    } catch (...) {
        return Fail(failureReason, QLatin1String(kUnknownFailureText));
    }
}
