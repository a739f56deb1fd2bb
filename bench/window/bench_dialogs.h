#pragma once

#include "app/window_dialogs.h"

#include <QStringList>

// Answers the window's boxes and dialogs at once, as a person who agrees to everything would: the
// Add command's dialog gives `pagePictures`, questions are answered Yes, the desktop opens every
// address and the file manager shows every file. Boxes are counted; errors are kept, so that a run that went wrong can
// say so.
class BenchDialogs : public WindowDialogs {
public:
    void ShowPlainMessage(const QString& text, const QString& caption) override;
    bool AskInformationYesNo(const QString& text, const QString& caption) override;
    void ShowError(const QString& text, const QString& caption) override;
    bool OpenAddress(const QUrl& address) override;
    bool ShowFileInFolder(const QString& filePath) override;
    QStringList ChoosePagePictures() override;
    QString ChooseCoverPicture() override;
    QString BrowseForFolder(const QString& initialFolder) override;
    QString ChooseListToOpen() override;
    QString ChooseListToSave(const QString& suggestedPath) override;

    QStringList pagePictures;
    QStringList errors;
    int boxes = 0;
};
