#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class LabeledEdit;
class PictureBox;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTreeWidget;
class TImgBtn;
class TPanel;
class TPNGButton;
class WindowDialogs;
struct BookSettings;

// The program's one window: a frameless, rounded window whose banner serves as title bar, with
// its own minimise and close buttons, the command buttons, the page list, the preview and the
// four book settings.
//
// Every handler that a control's event runs is guarded: an error escaping it is shown in the
// error box (ShowErrorBox) and the window goes on waiting for the next event. The handlers can
// also be called directly, unguarded, with any sender.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    // `programFolder` is the folder of the program file: the staging root of the books lies there.
    // Messages and questions go through `dialogs`; without one, through real message boxes.
    explicit TForm1(const QString& programFolder, std::unique_ptr<WindowDialogs> dialogs = nullptr,
                    QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TForm1() override;

    // The creation step, run once by the constructor after every control exists: shapes the
    // window, hides the sprite, places the window buttons and cuts their pictures from the sprite,
    // sets OebpsDir and loads the settings.
    void FormCreate(QObject* sender);
    // The destruction step, run once by the destructor: deletes the content folder, saves the
    // settings.
    void FormDestroy(QObject* sender);

    void ImgBtnMinClick(QObject* sender);
    void ImgBtnCloseClick(QObject* sender);
    // Add: appends pictures to the page list. Its file dialog is not part of the window yet, so for
    // now it changes nothing.
    void PNGButton2Click(QObject* sender);
    // Remove: deletes the selected rows and numbers the rest 1, 2, 3, ...
    void PNGButton1Click(QObject* sender);
    // Remove All: deletes every row.
    void PNGButton3Click(QObject* sender);
    // Convert: builds the book from the page list and the four settings.
    void PNGButton4Click(QObject* sender);
    // Home: opens the product's home page in the browser.
    void PNGButton5Click(QObject* sender);
    // The cover and output-folder choosers. Their dialogs are not part of the window yet, so for
    // now they change nothing.
    void PNGButton8Click(QObject* sender);
    void PNGButton9Click(QObject* sender);
    // A press on one of the three banner pictures drags the window.
    void Image2MouseDown(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void Image4MouseDown(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void Image6MouseDown(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    // The context menu of the page list runs the handlers of the Add, Remove and Remove All
    // buttons, with the window as sender.
    void Add1Click(QObject* sender);
    void RemoveSelected1Click(QObject* sender);
    void RemoveAll1Click(QObject* sender);

    // The Path of every row of the page list, in book order.
    QStringList RowPaths() const;
    // The four settings as they stand in their edits now.
    BookSettings CurrentBookSettings() const;

    // The controls, named as in the window's layout.
    TPanel* PanelTop;
    PictureBox* Image4;
    PictureBox* Image2;
    PictureBox* Image6;
    TImgBtn* ImgBtnMin;
    TImgBtn* ImgBtnClose;
    TPNGButton* PNGButton1;
    TPNGButton* PNGButton5;
    TPNGButton* PNGButton4;
    TPNGButton* PNGButton3;
    TPNGButton* PNGButton2;

    TPanel* PanelBtm;
    PictureBox* Image3;
    PictureBox* Image10;
    PictureBox* Image11;

    TPanel* PanelLeft;
    PictureBox* Image8;
    PictureBox* Image7;
    TPanel* PanelLeftBtm;
    PictureBox* Image1;
    PictureBox* Image16;
    PictureBox* Image5;
    PictureBox* Image15;
    PictureBox* Image12;
    PictureBox* Image14;
    QLineEdit* Edit1;
    QLineEdit* Edit2;

    PictureBox* Image9;

    TPanel* PanelClient;
    QTreeWidget* ListView1;
    TPanel* PaneClientBtm;
    PictureBox* Image13;
    PictureBox* Image17;
    PictureBox* Image18;
    QLabel* Label2;
    LabeledEdit* LabeledEdit3;
    LabeledEdit* LabeledEdit4;
    TPNGButton* PNGButton8;
    TPNGButton* PNGButton9;
    TPanel* PanelImage;
    PictureBox* ImageM;

    QMenu* PopupMenu1;
    QAction* Add1;
    QAction* RemoveSelected1;
    QAction* RemoveAll1;

    // The content folder of the book being built: "epubfiles/OEBPS" in the program's folder.
    QString OebpsDir;

private:
    void CreateControls();
    void CreateBanner();
    void CreateBottomBanner();
    void CreateLeftPanel();
    void CreateClientPanel();
    void ConnectHandlers();
    void LoadSettings();
    void SaveSettings();
    void DragWindow(Qt::MouseButton button);

    // Runs a handler; an error escaping it goes to the error box.
    template <typename Handler>
    void Guarded(Handler handler);

    QString programFolder_;
    std::unique_ptr<WindowDialogs> dialogs_;
};
