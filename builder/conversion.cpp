#include "builder/conversion.h"

#include "archive/zip_folder.h"
#include "builder/book_identity.h"
#include "builder/content_folder.h"
#include "builder/conversion_ui.h"
#include "builder/navigation_document.h"
#include "builder/package_document.h"
#include "builder/picture_names.h"
#include "builder/replaced_book.h"
#include "builder/style_sheet.h"

#include <QDir>
#include <QFileInfo>

namespace {

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

// The first missing setting's message, in the order the settings are checked; empty when none is.
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

}  // namespace

QString BookPath(const BookSettings& settings)
{
    return settings.outputFolder + u'/' + settings.title + QStringLiteral(".epub");
}

ConversionResult ConvertBook(const QStringList& rowPaths, const BookSettings& settings, const StagingPaths& staging,
                             ConversionUi& ui)
{
    const int pageCount = static_cast<int>(rowPaths.size());
    if (pageCount == 0) {
        return ConversionResult::NothingToConvert;
    }
    RecreateContentFolder(staging.oebpsDir);
    BusyGuard busy(ui);

    const PictureNames names = AssignPictureNames(rowPaths, settings.coverPath);
    FillContentFolder(rowPaths, settings, names, staging.oebpsDir);
    const QString missing = MissingSettingMessage(settings);
    // Without every setting there is no book path, and so no earlier book whose identifier to keep.
    const QString identifier = BookIdentifierFor(missing.isEmpty() ? BookPath(settings) : QString());
    WritePackageDocument(settings, names, identifier, staging.oebpsDir);
    WriteNavigationDocument(pageCount, settings, identifier, staging.oebpsDir);
    WriteStyleSheet(staging.oebpsDir);

    if (!missing.isEmpty()) {
        busy.Release();
        ui.ShowMessage(missing, kNoteCaption);
        return ConversionResult::SettingMissing;
    }
    if (!QFileInfo(settings.outputFolder).isDir()) {
        QDir().mkpath(settings.outputFolder);
    }
    const QString bookPath = BookPath(settings);
    ReplacedBook earlierBook(bookPath);
    if (earlierBook.Exists()) {
        if (!ui.AskOverwrite(QStringLiteral("The file is existing. Overwrite?"), QStringLiteral("Information"))) {
            return ConversionResult::ReplaceDeclined;
        }
        earlierBook.MoveAside();
    }

    QString failureReason;
    const bool packed = ZipFolder(0, 0, bookPath, staging.epubFilesDir, HooksFor(ui), &failureReason);
    busy.Release();
    if (!packed) {
        // The earlier book goes back to its place when `earlierBook` goes out of scope.
        if (ui.CancelRequested()) {
            return ConversionResult::PackingCanceled;
        }
        ui.ShowError(QStringLiteral("Failed to build: ") + bookPath + u'\n' + failureReason);
        return ConversionResult::PackingFailed;
    }
    earlierBook.Discard();
    ui.ShowSuccess(QStringLiteral("Successed to build: ") + bookPath, QStringLiteral("Congratulation"));
    ui.OpenFolder(settings.outputFolder);
    return ConversionResult::BookWritten;
}
