#pragma once

#include "app/normal_cursor.h"

#include <QProgressDialog>
#include <QtGlobal>

#include <optional>

class QHideEvent;
class QShowEvent;

// The dialog that shows how far a conversion is: the pages prepared (pictures copied, documents
// written), then the bytes of the book packed; its Cancel button asks the conversion to stop. It is
// modal for the whole program, so that nothing else can be done in the window while it is up.
//
// It comes up by itself only when the conversion takes a while: a second after it was made, or
// earlier when the progress so far says that the whole will take longer than that. Quick
// conversions never show it. While it is up, the pointer has its normal shape, so that Cancel looks
// as usable as it is.
class ConversionProgressDialog : public QProgressDialog {
    Q_OBJECT

public:
    static constexpr int kShowAfterMilliseconds = 1000;
    static constexpr int kSteps = 1000;

    explicit ConversionProgressDialog(QWidget* owner);

    // Shows how many of the book's pictures are staged, in the text and the bar.
    void SetStaged(qsizetype picturesDone, qsizetype picturesTotal);
    // Sets the bar to the share of `bytesDone` in `bytesTotal`.
    void SetPacked(qint64 bytesDone, qint64 bytesTotal);
    // After Cancel neither changes anything, so that a cancelled dialog does not come up again.

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Show(const QString& label, qint64 done, qint64 total);

    std::optional<NormalCursor> normalCursor_;
};
