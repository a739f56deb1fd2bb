#include "app/conversion_progress_dialog.h"

#include "common/product.h"

#include <QHideEvent>
#include <QShowEvent>

namespace {

const QString kPackingText = QStringLiteral("Packing the book...");

}  // namespace

ConversionProgressDialog::ConversionProgressDialog(QWidget* owner)
    : QProgressDialog(QStringLiteral("Preparing the pages..."), QStringLiteral("Cancel"), 0, kSteps, owner)
{
    setObjectName(QStringLiteral("ConversionProgressDialog"));
    setWindowTitle(kProductTitle);
    setWindowModality(Qt::ApplicationModal);
    // The dialog stays until the conversion is over, also when the bar is full.
    setAutoReset(false);
    setAutoClose(false);
    setMinimumDuration(kShowAfterMilliseconds);
}

void ConversionProgressDialog::SetStaged(qsizetype picturesDone, qsizetype picturesTotal)
{
    Show(QStringLiteral("Preparing the pages... %1 of %2").arg(picturesDone).arg(picturesTotal), picturesDone,
         picturesTotal);
}

void ConversionProgressDialog::SetPacked(qint64 bytesDone, qint64 bytesTotal)
{
    Show(kPackingText, bytesDone, bytesTotal);
}

void ConversionProgressDialog::Show(const QString& label, qint64 done, qint64 total)
{
    if (wasCanceled() || total <= 0) {
        return;
    }
    if (labelText() != label) {
        setLabelText(label);
    }
    setValue(static_cast<int>(qBound<qint64>(0, done, total) * kSteps / total));
}

void ConversionProgressDialog::showEvent(QShowEvent* event)
{
    QProgressDialog::showEvent(event);
    normalCursor_.emplace();
}

void ConversionProgressDialog::hideEvent(QHideEvent* event)
{
    normalCursor_.reset();
    QProgressDialog::hideEvent(event);
}
