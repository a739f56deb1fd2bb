#pragma once

#include "settings/program_places.h"

#include <QPersistentModelIndex>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class LabeledEdit;
class PageListView;
class PictureBox;
class QAction;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMenu;
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
//
// While a conversion runs, the events it lets through while packing reach the window too; so that
// no command runs in the middle of it, the guarded handlers then do nothing at all, and closing the
// window is refused (the progress dialog's Cancel ends the conversion early).
class TForm1 : public QWidget {
    Q_OBJECT

public:
    // `programFolder` is the folder of the program file: the settings file and the staging root of
    // the books lie there, or in the user's own folders when the program may not write it
    // (PlacesOfProgram).
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
    // Add: appends the pictures chosen in the file dialog OpenDialog1 to the page list.
    void PNGButton2Click(QObject* sender);
    // Remove: deletes the selected rows and numbers the rest 1, 2, 3, ...
    void PNGButton1Click(QObject* sender);
    // Remove All: deletes every row.
    void PNGButton3Click(QObject* sender);
    // Convert: builds the book from the page list and the four settings; with no page, a note asks
    // for pictures.
    void PNGButton4Click(QObject* sender);
    // Home: opens the product's home page in the browser; an ErrorAbout names the address when the
    // desktop cannot open it.
    void PNGButton5Click(QObject* sender);
    // The cover chooser: the file dialog OpenDialog2; a chosen picture replaces the cover field.
    void PNGButton8Click(QObject* sender);
    // The output-folder chooser: the folder browser; a chosen folder replaces the output folder
    // field, a cancel leaves it as it was.
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
    // The context menu's "Add Folder...": the folder browser; the pictures of a chosen folder are
    // appended as a dropped folder's are (ListView1FilesDropped).
    void AddFolder1Click(QObject* sender);
    // The context menu's "Sort by File Name": the rows in natural order of their file names
    // (SortPagesByFileName), numbered again.
    void SortByFileName1Click(QObject* sender);
    // The context menu is about to show: Remove Selected is offered only with a row selected, and
    // Remove All only with a row in the list.
    void PopupMenu1Popup(QObject* sender);
    // A mouse click in the page list, or a key that moved its current row: the picture of the first
    // selected row is shown in the preview box Image1. With no row selected, an empty path or a
    // missing file, the preview stays as it was; a picture the decoder rejects raises an ErrorAbout
    // with the decoder's "JPEG error #N", naming the picture.
    void ListView1Click(QObject* sender);
    // A drag moves over the page list: remembers the first selected row as DraggedItem.
    void ListView1DragOver(QObject* sender, QObject* source, QPoint pos);
    // A drop on the page list at `pos` (in its viewport): when the drag came from a list, moves
    // DraggedItem to just before the row at the drop point, and numbers the rows again. A drop below
    // the last row, or of anything else, changes nothing.
    void ListView1DragDrop(QObject* sender, QObject* source, QPoint pos);
    // Pictures dropped on the page list from the file manager, folders already expanded
    // (PicturesAmong): appended as Add appends them. Pictures whose names are not UTF-8 are not
    // added; an ErrorAbout names them.
    void ListView1FilesDropped(QObject* sender, const QStringList& paths, const QStringList& undecodable);
    // The pictures named on the program's command line, as the desktop's "Open With" names them:
    // appended as Add appends them, a file as it is named and a folder's pictures in natural order in
    // its place (PicturesNamedBy). An error is shown in the error box, as a handler's is.
    void AddPicturesFromArguments(const QStringList& arguments);

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
    PageListView* ListView1;
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
    QAction* AddFolder1;
    QAction* RemoveSelected1;
    QAction* RemoveAll1;
    QAction* SortByFileName1;

    // The content folder of the book being built: "OEBPS" in the staging root "epubfiles".
    QString OebpsDir;
    // The settings file "config.ini". It keeps the output folder.
    QString ConfigIni;
    // The row being dragged in the page list, as the last drag-over found it; invalid when no row
    // was selected, or since a removal or a sort, which take every row out of the list and put the
    // kept ones back. Each drag sets it again before its drop reads it.
    QPersistentModelIndex DraggedItem;

protected:
    void closeEvent(QCloseEvent* event) override;

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
    void AddPictures(const QStringList& paths, const QStringList& undecodable);

    // Runs a handler, unless a conversion is running; an error escaping it goes to the error box.
    template <typename Handler>
    void Guarded(Handler handler);

    ProgramPlaces places_;
    std::unique_ptr<WindowDialogs> dialogs_;
    bool converting_ = false;
};
