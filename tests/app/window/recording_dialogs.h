#pragma once

#include "app/window_dialogs.h"

#include <QString>
#include <QStringList>

// Stands in for the person in front of the window's boxes: records every box, question and
// opened address as "kind|caption|text" lines, with the pointer's shape at that moment, and
// answers questions as told. Never blocks.
class RecordingDialogs : public WindowDialogs {
public:
    void ShowPlainMessage(const QString& text, const QString& caption) override;
    bool AskInformationYesNo(const QString& text, const QString& caption) override;
    void ShowError(const QString& text, const QString& caption) override;
    bool OpenAddress(const QUrl& address) override;
    // Records "show||path" when `fileManagerShows`; a file manager that does not answer shows nothing.
    bool ShowFileInFolder(const QString& filePath) override;
    QStringList ChoosePagePictures() override;
    QString ChooseCoverPicture() override;
    QString BrowseForFolder(const QString& initialFolder) override;
    QString ChooseListToOpen() override;
    QString ChooseListToSave(const QString& suggestedPath) override;

    QStringList events;
    // The application's pointer shape when each event happened: "none" without an override
    // cursor, else "wait", "arrow" or the shape's number.
    QStringList cursors;
    bool answer = true;
    // Whether the desktop opens the addresses asked of it.
    bool desktopOpens = true;
    // Whether a file manager shows the files asked of it.
    bool fileManagerShows = false;
    // What the file dialogs and the folder browser answer; empty answers are cancels.
    QStringList pagePictures;
    QString coverPicture;
    QString folder;
    QString listFile;

private:
    void Record(const QString& event);
};

// The application's override cursor as RecordingDialogs names it.
QString OverrideCursorName();
