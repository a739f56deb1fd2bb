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

// The writer set up to pack a folder's tree with names relative to it.
void SetUpFolderTree(ZipWriter& writer, const QString& root, const QString& archivePath)
{
    writer.SetRootDir(root);
    // A book's container must open with its media type, uncompressed, so that readers can tell the file
    // from its first bytes.
    writer.SetFirstStoredEntry(QByteArrayLiteral("mimetype"));
    writer.FilesList().clear();
    writer.SetZipName(archivePath);
}

// What a request to stop does to a packing: it fails like any error, or it passes to the caller.
enum class OnCancel { Fail, PassOn };

// Runs a writer that `setUp` prepares, as a whole: true when it ran to its end.
template <typename SetUp>
bool RunWriter(const PackingHooks& hooks, QString* failureReason, OnCancel onCancel, SetUp setUp)
{
    try {
        ZipWriter writer(hooks);
        setUp(writer);
        if (hooks.dispatchEvents) {
            hooks.dispatchEvents();
        }
        writer.WriteArchive();
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

bool ZipFolder(const QString& archivePath, const QString& folder, const PackingHooks& hooks, QString* failureReason)
{
    const QString root = WithoutTrailingSeparator(folder);
    return RunWriter(hooks, failureReason, OnCancel::Fail, [&](ZipWriter& writer) {
        SetUpFolderTree(writer, root, archivePath);
        writer.FilesList().append(root + QLatin1String("/*.*"));
    });
}

bool PackBook(const QString& bookPath, const QString& stagingRoot, bool replace, PicturePacking pictures,
              const PackingHooks& hooks, QString* failureReason)
{
    const QString root = WithoutTrailingSeparator(stagingRoot);
    return RunWriter(hooks, failureReason, OnCancel::PassOn, [&](ZipWriter& writer) {
        SetUpFolderTree(writer, root, bookPath);
        writer.SetZipAction(replace ? zaReplace : zaCreate);
        if (pictures == PicturePacking::Store) {
            writer.NoCompressList() << QStringLiteral("*.jpg") << QStringLiteral("*.jpeg") << QStringLiteral("*.png")
                                    << QStringLiteral("*.gif");
        }
        writer.FilesList() << root + QLatin1String("/mimetype") << root + QLatin1String("/META-INF/*")
                           << root + QLatin1String("/OEBPS/*");
    });
}
