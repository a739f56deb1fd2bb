#pragma once

#include "builder/staging/staging_folder_remover.h"
#include "settings/kept_list_slot.h"
#include "settings/program_places.h"

#include <QImage>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class BannerToggle;
class FieldHistory;
class LabeledEdit;
class LanguageBox;
class ListKeeper;
class PageListView;
class PictureBox;
class QAction;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QUndoStack;
class TImgBtn;
class TPanel;
class TPNGButton;
class WindowDialogs;
struct BookList;
struct BookSettings;

// The program's one window: a frameless, rounded window whose banner serves as title bar, with
// its own minimise and close buttons, the command buttons, the page list, the preview and the
// book's settings (title, author, cover, language, series and number, output folder).
//
// Every handler that a control's event runs is guarded: an error escaping it is shown in the
// error box (ShowErrorBox) and the window goes on waiting for the next event. The handlers can
// also be called directly, unguarded, with any sender.
//
// While a conversion runs, the events it lets through while packing reach the window too; so that
// no command runs in the middle of it, the guarded handlers then do nothing at all, and closing the
// window is refused (the progress dialog's Cancel ends the conversion early).
//
// Every change to the page list, and every change the person makes to a field, is one step that Undo takes back
// and Redo makes again (the last hundred of them), in the order they were made, wherever the focus is
// (FieldHistory). Every command has a key, and every button can be reached with Tab and pressed with Space or
// Return.
//
// The output folder, the kind of book and the language are saved in config.ini as they change. The page list with
// the book's details is kept in the user's state folder as it changes (KeptListSlot, written on a thread of its
// own a moment after the last change), so that the next window offers it back after a crash or a close with pages
// (OfferKeptLists).
class TForm1 : public QWidget {
    Q_OBJECT

public:
    // `programFolder` is the folder of the program file: the settings file and the installation data
    // lie there, or in the user's own folders when the program may not write it (PlacesOfProgram).
    // Messages and questions go through `dialogs`; without one, through real message boxes.
    explicit TForm1(const QString& programFolder, std::unique_ptr<WindowDialogs> dialogs = nullptr,
                    QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TForm1() override;

    // The creation step, run once by the constructor after every control exists: shapes the
    // window, hides the sprite, places the window buttons and cuts their pictures from the sprite,
    // and loads the settings.
    void FormCreate(QObject* sender);
    // The destruction step, run once by the destructor: waits until the removal of the staging folders that killed
    // runs left has ended, and saves the settings.
    void FormDestroy(QObject* sender);

    void ImgBtnMinClick(QObject* sender);
    void ImgBtnCloseClick(QObject* sender);
    // Add: appends the pictures chosen in the file dialog OpenDialog1 to the page list, as one step; each
    // is checked by its content first, and those that are no whole picture are left out and named in one
    // ErrorAbout with the reason.
    void PNGButton2Click(QObject* sender);
    // Remove: deletes the selected rows; the rest are numbered 1, 2, 3, ... The current row, when
    // deleted, passes to the nearest row kept above it (below it when none is above); no row is
    // selected afterwards.
    void PNGButton1Click(QObject* sender);
    // Remove All: deletes every row.
    void PNGButton3Click(QObject* sender);
    // Convert: builds the book from the page list and the four settings, packed straight from the
    // pictures; with no page, a note asks for pictures.
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
    // (FileNameOrder), numbered again. Selected rows stay selected and the current row stays
    // current, wherever they move.
    void SortByFileName1Click(QObject* sender);
    // Undo and Redo, in the context menu and on their keys: take back the last change to the page
    // list, and make again the last one taken back.
    void Undo1Click(QObject* sender);
    void Redo1Click(QObject* sender);
    // The context menu is about to show: Remove Selected is offered only with a row selected, and
    // Remove All only with a row in the list. Their keys follow the same rule at every moment.
    void PopupMenu1Popup(QObject* sender);
    // A mouse click in the page list, or a key that moved its current row: the picture of the first
    // selected row is shown in the preview box Image1, upright. With no row selected, an empty path or
    // a missing file, the preview stays as it was; a file that is no picture, or a picture the library
    // rejects, raises an ErrorAbout with the reason (a JPEG decoder's "JPEG error #N"), naming the picture.
    void ListView1Click(QObject* sender);
    // A drag moves over the page list: remembers the first selected row as DraggedItem.
    void ListView1DragOver(QObject* sender, QObject* source, QPoint pos);
    // A drop on the page list at `pos` (in its viewport): when the drag came from a list, moves
    // DraggedItem to just before the row at the drop point, and numbers the rows again; the moved
    // row is no longer selected. A drop below the last row, or of anything else, changes nothing.
    void ListView1DragDrop(QObject* sender, QObject* source, QPoint pos);
    // A page number typed over a row: a whole number from 1 to the number of rows moves the row to
    // that place, and the rows are numbered again; any other text changes nothing, and the row keeps
    // its number.
    void ListView1PageNumberTyped(QObject* sender, int row, const QString& text);
    // Pictures dropped on the page list from the file manager, folders already expanded
    // (PicturesAmong): appended as Add appends them, checked as Add checks them. Pictures whose names
    // are not UTF-8 are not added either; one ErrorAbout names every file left out.
    void ListView1FilesDropped(QObject* sender, const QStringList& paths, const QStringList& undecodable);
    // The pictures named on the program's command line, as the desktop's "Open With" names them:
    // appended as Add appends them, a file as it is named and a folder's pictures in natural order in
    // its place (PicturesNamedBy). The arguments that name nothing that exists, and the options that
    // were not understood, are left out, and one ErrorAbout names them all. An error is shown in the
    // error box, as a handler's is.
    void AddPicturesFromArguments(const QStringList& arguments, const QStringList& unknownOptions = {});
    // The context menu's "Use as Cover": the current row's picture becomes the cover (the cover field shows its
    // path), as one step. Nothing without a current row.
    void UseAsCover1Click(QObject* sender);
    // The context menu's "Save List...": the page list with the book's details, written as a page list file
    // (BookList) where the file dialog says, whole or not at all.
    void SaveList1Click(QObject* sender);
    // The context menu's "Open List...": the page list and the book's details of a page list file take the place of
    // the window's, as one step. Pictures that are gone or no longer whole since are left out, and one ErrorAbout
    // names them.
    void OpenList1Click(QObject* sender);
    // Offers back, one question each, the lists that windows left behind after a crash or a close with pages in
    // them, newest first. The first taken up becomes this window's list, kept in its place from then on; those
    // declined are removed; any after the one taken up wait for a later window. Pictures that are gone since are
    // named, as Open List names them. Meant for the program's start, before anything else is added.
    void OfferKeptLists();

    // The Path of every row of the page list, in book order.
    QStringList RowPaths() const;
    // The settings as they stand in their fields now, and the kind of book the banner's switches show. The language
    // is the field's tag, or the system's (DefaultLanguageTag) when the field is empty.
    BookSettings CurrentBookSettings() const;
    // Waits until the list kept in the state folder holds every change made so far (for tests and the bench).
    void WaitUntilKept();

    // The controls, named as in the window's layout, with what the person sees of each.
    TPanel* PanelTop;               // the banner across the top, which drags the window
    PictureBox* Image4;             // the banner's middle, stretched to the width
    PictureBox* Image2;             // the banner's left end, with the product's name
    PictureBox* Image6;             // the banner's right end
    TImgBtn* ImgBtnMin;             // the small minimise button at the top right
    TImgBtn* ImgBtnClose;           // the small close button at the top right
    TPNGButton* PNGButton1;         // "Remove": removes the selected pages
    TPNGButton* PNGButton5;         // "Home": opens the product's home page
    TPNGButton* PNGButton4;         // "Convert": makes the book
    TPNGButton* PNGButton3;         // "Remove All": empties the page list
    TPNGButton* PNGButton2;         // "Add": adds pictures through a file dialog
    BannerToggle* LayoutSwitch;     // right of Home: flowing pages (EPUB 2) or fixed pages (EPUB 3)
    BannerToggle* DirectionSwitch;  // under it: pages read left to right or right to left

    TPanel* PanelBtm;     // the strip along the bottom edge
    PictureBox* Image3;   // its left end
    PictureBox* Image10;  // its right end
    PictureBox* Image11;  // its middle, stretched to the width

    TPanel* PanelLeft;     // the column on the left: preview, title and author
    PictureBox* Image8;    // the divider between that column and the page list
    PictureBox* Image7;    // the window's left edge
    TPanel* PanelLeftBtm;  // the column's content
    PictureBox* Image1;    // the preview of the clicked page's picture
    PictureBox* Image16;   // the strip under the preview
    PictureBox* Image5;    // the heading over the title field
    PictureBox* Image15;   // the background behind the title field
    PictureBox* Image12;   // the heading over the author field
    PictureBox* Image14;   // the background behind the author field
    QLineEdit* Edit1;      // the book's title
    QLineEdit* Edit2;      // the author's name

    PictureBox* Image9;  // the window's right edge

    TPanel* PanelClient;        // the middle: the page list and the fields below it
    PageListView* ListView1;    // the page list: page number and picture path, one row per page
    TPanel* PaneClientBtm;      // the area under the page list
    PictureBox* Image13;        // its background
    PictureBox* Image17;        // the line between the page list and the fields
    PictureBox* Image18;        // the hint's icon
    QLabel* Label2;             // the hint that rows can be dragged into order
    LabeledEdit* LabeledEdit3;  // the cover picture's path; empty for no cover
    QLabel* Label3;             // "Language:", beside the language field
    LanguageBox* ComboBox1;     // the book's language: a language by its own name, or a tag typed by hand
    LabeledEdit* LabeledEdit5;  // the series the book belongs to
    LabeledEdit* LabeledEdit6;  // the book's number in the series
    LabeledEdit* LabeledEdit4;  // the output folder
    TPNGButton* PNGButton8;     // chooses the cover picture
    TPNGButton* PNGButton9;     // chooses the output folder
    TPanel* PanelImage;         // hidden: holds the sprite of the window buttons' pictures
    PictureBox* ImageM;         // that sprite

    QMenu* PopupMenu1;         // the page list's right-click menu, with its items:
    QAction* Add1;             // "Add"
    QAction* AddFolder1;       // "Add Folder..."
    QAction* RemoveSelected1;  // "Remove Selected"
    QAction* RemoveAll1;       // "Remove All"
    QAction* SortByFileName1;  // "Sort by File Name"
    QAction* UseAsCover1;      // "Use as Cover"
    QAction* OpenList1;        // "Open List..."
    QAction* SaveList1;        // "Save List..."
    QAction* Undo1;            // "Undo", naming the step it takes back
    QAction* Redo1;            // "Redo", naming the step it makes again

    // The commands' keys that no menu shows: each runs the handler of its button.
    QAction* Convert1;  // Ctrl+Return
    QAction* Home1;     // F1
    QAction* Quit1;     // Ctrl+Q: closes the window as its close button does

    // The settings file "config.ini". It keeps the output folder, the kind of book and the language.
    QString ConfigIni;
    // The row being dragged in the page list, as the last drag-over found it; invalid when no row
    // was selected, or once that row is removed. Each drag sets it again before its drop reads it.
    QPersistentModelIndex DraggedItem;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreateBanner();
    void CreateBottomBanner();
    void CreateLeftPanel();
    void CreateClientPanel();
    void CreateKeyboardCommands();
    void ConnectHandlers();
    void OfferRemovalCommands();
    void AppendPages(const QStringList& paths, const QString& step);
    void FollowFields();
    void LoadSettings();
    void SaveSettings();
    void SaveChangedSettings();
    void WriteChangedSettings();
    void ShowPreviewOfCurrentRow();
    void ShowPicture(const QString& path, int row);
    BookList CurrentBookList() const;
    void TakeBookList(const BookList& list, const QString& step);
    void OfferKeptList(KeptListSlot& slot);
    void KeepList();
    void KeepListSoon();
    void EndKeeping();
    void ShowKeepingFailure(const QString& reason);
    void DragWindow(Qt::MouseButton button);
    void AddPictures(const QStringList& paths, const QStringList& undecodable, const QString& step);

    // Runs a handler, unless a conversion is running; an error escaping it goes to the error box.
    template <typename Handler>
    void Guarded(Handler handler);

    ProgramPlaces places_;
    std::unique_ptr<WindowDialogs> dialogs_;
    QUndoStack* undoStack_;
    FieldHistory* fieldHistory_;
    // The preview box's picture when no row's picture is shown: "No picture".
    QImage noPicture_;
    // The row whose picture the preview shows, while previewShowsRow_; invalid once that row is gone.
    QPersistentModelIndex previewedRow_;
    bool previewShowsRow_ = false;
    // What config.ini holds as the window last read or wrote it, so that only what changed is written.
    QString savedOutputFolder_;
    QString savedLanguage_;
    QTimer* saveSettingsTimer_;
    bool settingsFailureShown_ = false;
    // Where the page list is kept, its writer, and the pause after a change before it is kept.
    KeptListSlot keptSlot_;
    std::unique_ptr<ListKeeper> keeper_;
    QTimer* keepTimer_;
    bool keepingFailureShown_ = false;
    bool converting_ = false;
    StagingFolderRemover stagingRemover_;
};
