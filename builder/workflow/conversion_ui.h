#pragma once

#include <QString>
#include <QtGlobal>

// The caption of the message that names a missing setting.
inline const QString kNoteCaption = QStringLiteral("Note!");

// Everything a conversion needs from the person who started it. The window answers with message
// boxes, the hourglass cursor and the file browser; the command line with its standard streams.
class ConversionUi {
public:
    virtual ~ConversionUi() = default;

    // A plain message: the text, the caption, an OK button, no icon.
    virtual void ShowMessage(const QString& text, const QString& caption) = 0;

    // The book is complete: the text, the caption, an OK button, no icon.
    virtual void ShowSuccess(const QString& text, const QString& caption) = 0;

    // A failure that ended the conversion without a book.
    virtual void ShowError(const QString& text) = 0;

    // The question whether to replace an existing book; true only for an explicit Yes.
    virtual bool AskOverwrite(const QString& text, const QString& caption) = 0;

    // Long work begins (true) or ends (false): the window shows the hourglass cursor meanwhile.
    virtual void SetBusy(bool busy) = 0;

    // Shows the folder that now holds the book at `bookPath`, with the book selected where the desktop can.
    virtual void OpenFolder(const QString& folder, const QString& bookPath) = 0;

    // Called at regular points while the pictures are staged and the book is packed, to let waiting
    // events through.
    virtual void DispatchEvents() {}

    // Whether the person asked to stop the conversion; checked after each DispatchEvents.
    virtual bool CancelRequested() { return false; }

    // How many of the book's pictures have been staged so far.
    virtual void ReportStagingProgress(qsizetype picturesDone, qsizetype picturesTotal)
    {
        Q_UNUSED(picturesDone);
        Q_UNUSED(picturesTotal);
    }

    // How much of the book's source data has been packed so far.
    virtual void ReportPackingProgress(qint64 bytesDone, qint64 bytesTotal)
    {
        Q_UNUSED(bytesDone);
        Q_UNUSED(bytesTotal);
    }
};
