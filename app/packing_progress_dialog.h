#pragma once

#include "app/normal_cursor.h"

#include <QProgressDialog>
#include <QtGlobal>

#include <optional>

class QHideEvent;
class QShowEvent;

// The dialog that shows how much of a book is packed, with a Cancel button that asks the packing to
// stop. It is modal for the whole program, so that nothing else can be done in the window while it
// is up.
//
// It comes up by itself only when packing takes a while: a second after it was made, or earlier
// when the progress so far says that the whole will take longer than that. Quick conversions never
// show it. While it is up, the pointer has its normal shape, so that Cancel looks as usable as it is.
class PackingProgressDialog : public QProgressDialog {
    Q_OBJECT

public:
    static constexpr int kShowAfterMilliseconds = 1000;
    static constexpr int kSteps = 1000;

    explicit PackingProgressDialog(QWidget* owner);

    // Sets the bar to the share of `bytesDone` in `bytesTotal`. After Cancel it changes nothing,
    // so that a cancelled dialog does not come up again.
    void SetPacked(qint64 bytesDone, qint64 bytesTotal);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::optional<NormalCursor> normalCursor_;
};
