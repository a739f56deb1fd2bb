#include "tests/app/window/recording_dialogs.h"

#include <QCursor>
#include <QGuiApplication>
#include <QUrl>

void RecordingDialogs::ShowPlainMessage(const QString& text, const QString& caption)
{
    Record("plain|" + caption + "|" + text);
}

bool RecordingDialogs::AskInformationYesNo(const QString& text, const QString& caption)
{
    Record("ask|" + caption + "|" + text);
    return answer;
}

void RecordingDialogs::ShowError(const QString& text, const QString& caption)
{
    Record("error|" + caption + "|" + text);
}

bool RecordingDialogs::OpenAddress(const QUrl& address)
{
    Record("open||" + address.toString());
    return desktopOpens;
}

bool RecordingDialogs::ShowFileInFolder(const QString& filePath)
{
    if (fileManagerShows) {
        Record("show||" + filePath);
    }
    return fileManagerShows;
}

QStringList RecordingDialogs::ChoosePagePictures()
{
    Record(QStringLiteral("open pictures||"));
    return pagePictures;
}

QString RecordingDialogs::ChooseCoverPicture()
{
    Record(QStringLiteral("open cover||"));
    return coverPicture;
}

QString RecordingDialogs::BrowseForFolder(const QString& initialFolder)
{
    Record("browse||" + initialFolder);
    return folder;
}

QString RecordingDialogs::ChooseListToOpen()
{
    Record(QStringLiteral("open list||"));
    return listFile;
}

QString RecordingDialogs::ChooseListToSave(const QString& suggestedPath)
{
    Record("save list||" + suggestedPath);
    return listFile;
}

void RecordingDialogs::Record(const QString& event)
{
    events << event;
    cursors << OverrideCursorName();
}

QString OverrideCursorName()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    if (cursor == nullptr) {
        return QStringLiteral("none");
    }
    switch (cursor->shape()) {
    case Qt::WaitCursor:
        return QStringLiteral("wait");
    case Qt::ArrowCursor:
        return QStringLiteral("arrow");
    default:
        return QString::number(cursor->shape());
    }
}
