#pragma once

#include <QString>
#include <QStringList>

class QUrl;
class QWidget;

// Everything the window shows outside itself: its modal message boxes, its file dialogs and folder
// browser, and the programs the desktop opens for an address. The window holds one; tests give it
// one that answers by itself.
class WindowDialogs {
public:
    virtual ~WindowDialogs() = default;

    // A plain message box: the text, the caption, an OK button, no icon.
    virtual void ShowPlainMessage(const QString& text, const QString& caption) = 0;

    // A question of the information kind with the buttons Yes and No; Yes is the default button.
    // True only when the answer is Yes: No, Escape and closing the box answer false.
    virtual bool AskInformationYesNo(const QString& text, const QString& caption) = 0;

    // A message box with an error icon and an OK button.
    virtual void ShowError(const QString& text, const QString& caption) = 0;

    // Asks the desktop to open the address (a web page in the browser, a folder in the file
    // browser). False when the desktop has nothing that opens it.
    virtual bool OpenAddress(const QUrl& address) = 0;

    // Asks the desktop's file manager to show the file selected in its folder. False when no file
    // manager does.
    virtual bool ShowFileInFolder(const QString& filePath) = 0;

    // The Add command's file dialog for several pictures: their full paths in the order the
    // dialog gives them; nothing when cancelled.
    virtual QStringList ChoosePagePictures() = 0;

    // The cover chooser's file dialog for one picture: its full path; empty when cancelled.
    virtual QString ChooseCoverPicture() = 0;

    // The output-folder chooser's folder browser, starting at `initialFolder`: the chosen folder's
    // path; empty when cancelled.
    virtual QString BrowseForFolder(const QString& initialFolder) = 0;

    // The file dialogs of "Open List..." and "Save List..." (ChoosePageListToOpen, ChoosePageListToSave): the chosen
    // page list file's path; empty when cancelled.
    virtual QString ChooseListToOpen() = 0;
    virtual QString ChooseListToSave(const QString& suggestedPath) = 0;
};

// The real boxes, modal over the owner window. While a box is shown the pointer has its normal
// shape over it, even in the middle of long work under the hourglass.
class QtWindowDialogs : public WindowDialogs {
public:
    explicit QtWindowDialogs(QWidget* owner);

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

private:
    QWidget* owner_;
};
