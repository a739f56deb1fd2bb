#include "app/packing_progress_dialog.h"

#include "builder/product.h"

#include <QHideEvent>
#include <QShowEvent>

PackingProgressDialog::PackingProgressDialog(QWidget* owner)
    : QProgressDialog(QStringLiteral("Packing the book..."), QStringLiteral("Cancel"), 0, kSteps, owner)
{
    setObjectName(QStringLiteral("PackingProgressDialog"));
    setWindowTitle(kProductTitle);
    setWindowModality(Qt::ApplicationModal);
    // The dialog stays until the packing is over, also when the bar is full.
    setAutoReset(false);
    setAutoClose(false);
    setMinimumDuration(kShowAfterMilliseconds);
}

void PackingProgressDialog::SetPacked(qint64 bytesDone, qint64 bytesTotal)
{
    if (wasCanceled() || bytesTotal <= 0) {
        return;
    }
    const qint64 done = qBound<qint64>(0, bytesDone, bytesTotal);
    setValue(static_cast<int>(done * kSteps / bytesTotal));
}

void PackingProgressDialog::showEvent(QShowEvent* event)
{
    QProgressDialog::showEvent(event);
    normalCursor_.emplace();
}

void PackingProgressDialog::hideEvent(QHideEvent* event)
{
    normalCursor_.reset();
    QProgressDialog::hideEvent(event);
}
