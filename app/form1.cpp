#include "app/form1.h"

#include "app/controls/banner_toggle.h"
#include "app/controls/img_btn.h"
#include "app/controls/png_button.h"
#include "app/error_box.h"
#include "app/field_history.h"
#include "app/labeled_edit.h"
#include "app/language_box.h"
#include "app/panel.h"
#include "app/picture_box.h"
#include "app/window_chrome.h"
#include "app/window_conversion_ui.h"
#include "app/window_dialogs.h"
#include "builder/workflow/book_formats.h"
#include "builder/workflow/book_settings.h"
#include "builder/workflow/conversion.h"
#include "builder/workflow/conversion_ui.h"
#include "common/cancellation.h"
#include "common/product.h"
#include "pages/page_list.h"
#include "pages/page_list_commands.h"
#include "pages/page_list_model.h"
#include "pages/page_list_view.h"
#include "pictures/picture_error.h"
#include "pictures/picture_files.h"
#include "preview/preview_picture.h"
#include "settings/book_details.h"
#include "settings/book_layout_setting.h"
#include "settings/book_list_file.h"
#include "settings/language_setting.h"
#include "settings/list_keeper.h"
#include "settings/output_folder_setting.h"
#include "settings/profile_write_error.h"
#include "settings/program_places.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMenu>
#include <QScopedValueRollback>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <QWindow>

#include <malloc.h>

#include <algorithm>
#include <optional>

namespace {

// The pause after the last change before it is saved or kept: typing goes on undisturbed, and a list of tens of
// thousands of pages is written once for a burst of changes.
constexpr int kSaveSettingsPauseMs = 300;
constexpr int kKeepListPauseMs = 500;

}  // namespace

TForm1::TForm1(const QString& programFolder, std::unique_ptr<WindowDialogs> dialogs, QWidget* parent)
    : QWidget(parent),
      places_(PlacesOfProgram(programFolder)),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtWindowDialogs>(this)),
      undoStack_(new QUndoStack(this)),
      fieldHistory_(new FieldHistory(*undoStack_, this)),
      saveSettingsTimer_(new QTimer(this)),
      keepTimer_(new QTimer(this))
{
    // Enough steps to take back an afternoon's work, few enough that the rows they keep stay small.
    undoStack_->setUndoLimit(100);
    saveSettingsTimer_->setSingleShot(true);
    saveSettingsTimer_->setInterval(kSaveSettingsPauseMs);
    keepTimer_->setSingleShot(true);
    keepTimer_->setInterval(kKeepListPauseMs);
    // A list that cannot be kept is told on the window's thread, whichever thread found it.
    keeper_ = std::make_unique<ListKeeper>([this](const QString& reason) {
        QMetaObject::invokeMethod(
            this, [this, reason] { ShowKeepingFailure(reason); }, Qt::QueuedConnection);
    });
    CreateControls();
    noPicture_ = Image1->Picture();
    CreateKeyboardCommands();
    ConnectHandlers();
    Guarded([this] { FormCreate(this); });
}

TForm1::~TForm1()
{
    Guarded([this] { FormDestroy(this); });
}

template <typename Handler>
void TForm1::Guarded(Handler handler)
{
    // A conversion lets waiting events through while it packs; none of them may start a command
    // in the middle of it.
    if (converting_) {
        return;
    }
    try {
        handler();
    } catch (const EUserCanceled&) {
        // The person stopped the command and knows it.
    } catch (const UserError& error) {
        ShowErrorBox(*dialogs_, error);
    }
}

void TForm1::FormCreate(QObject*)
{
    // Qt draws every widget double-buffered already; there is nothing to switch on.
    setMask(RoundedWindowMask(size()));
    PanelImage->hide();

    ImgBtnMin->raise();
    ImgBtnMin->move(width() - 70, 8);
    SliceButtonStates(*ImgBtnMin, ImageM->Picture(), 40, 20, 0, 0);

    ImgBtnClose->raise();
    ImgBtnClose->move(width() - 46, 8);
    SliceButtonStates(*ImgBtnClose, ImageM->Picture(), 24, 20, 68, 0);

    LoadSettings();
}

void TForm1::FormDestroy(QObject*)
{
    // The window is gone already; the removal of what killed runs left ends before the program does.
    stagingRemover_.Finish();
    EndKeeping();
    SaveSettings();
}

// The output folder, the kind of book and the language are kept between runs. Without a saved folder the field
// starts empty, whatever it held before; without a saved kind the switches show the default; without a saved
// language the field shows the system's.
void TForm1::LoadSettings()
{
    ConfigIni = places_.configIni;
    savedOutputFolder_ = ReadOutputFolderSetting(ConfigIni);
    fieldHistory_->Set(*LabeledEdit4, savedOutputFolder_);
    const BookFormat* format = BookFormatNamed(ReadBookLayoutSetting(ConfigIni));
    LayoutSwitch->SetChoice(
        static_cast<int>(AllBookFormats().indexOf(format != nullptr ? format : &DefaultBookFormat())));
    DirectionSwitch->SetChoice(ReadReadingDirectionSetting(ConfigIni) == ReadingDirection::RightToLeft ? 1 : 0);
    const QString language = ReadLanguageSetting(ConfigIni);
    savedLanguage_ = language.isEmpty() ? DefaultLanguageTag() : language;
    fieldHistory_->Set(*ComboBox1->lineEdit(), ComboBox1->TextFor(savedLanguage_));
}

// At the end, everything as it stands. An empty output folder is saved too, so that the next start shows it
// empty. The language is saved only once the person has changed it: until then the books follow the system's.
void TForm1::SaveSettings()
{
    MakePrivateFolder(QFileInfo(ConfigIni).path());
    WriteOutputFolderSetting(ConfigIni, LabeledEdit4->text());
    const BookSettings settings = CurrentBookSettings();
    WriteBookLayoutSetting(ConfigIni, FormatOf(settings).Key());
    WriteReadingDirectionSetting(ConfigIni, settings.direction);
    const QString language = ComboBox1->Tag();
    if (language != savedLanguage_ && (language.isEmpty() || LanguageTagProblem(language).isEmpty())) {
        WriteLanguageSetting(ConfigIni, language);
    }
}

// While the window is open, what changed, a moment after the change (or at once when Convert is pressed), so that
// the command line run meanwhile sees the window's choices. A language half typed is saved once it is a tag. A file
// that cannot be written is told once, until a write succeeds again.
void TForm1::SaveChangedSettings()
{
    // The file is flushed to the disk as it is written; while a conversion fills the disk that may take a while,
    // and the window answers meanwhile. Convert has saved what changed before it began.
    if (converting_) {
        saveSettingsTimer_->start();
        return;
    }
    WriteChangedSettings();
}

void TForm1::WriteChangedSettings()
{
    saveSettingsTimer_->stop();
    try {
        MakePrivateFolder(QFileInfo(ConfigIni).path());
        if (LabeledEdit4->text() != savedOutputFolder_) {
            WriteOutputFolderSetting(ConfigIni, LabeledEdit4->text());
            savedOutputFolder_ = LabeledEdit4->text();
        }
        const QString language = ComboBox1->Tag();
        if (language != savedLanguage_ && (language.isEmpty() || LanguageTagProblem(language).isEmpty())) {
            WriteLanguageSetting(ConfigIni, language);
            savedLanguage_ = language;
        }
        const BookSettings settings = CurrentBookSettings();
        const BookFormat* saved = BookFormatNamed(ReadBookLayoutSetting(ConfigIni));
        if (&FormatOf(settings) != (saved != nullptr ? saved : &DefaultBookFormat())) {
            WriteBookLayoutSetting(ConfigIni, FormatOf(settings).Key());
        }
        if (settings.direction != ReadReadingDirectionSetting(ConfigIni)) {
            WriteReadingDirectionSetting(ConfigIni, settings.direction);
        }
        settingsFailureShown_ = false;
    } catch (const ProfileWriteError& error) {
        if (!settingsFailureShown_) {
            settingsFailureShown_ = true;
            ShowErrorBox(*dialogs_, error);
        }
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (converting_) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TForm1::ImgBtnMinClick(QObject*)
{
    try {
        showMinimized();
    } catch (...) {
        // Whatever goes wrong in minimising is of no concern to the person: the window stays.
    }
}

void TForm1::ImgBtnCloseClick(QObject*)
{
    try {
        close();
    } catch (...) {
        // Closing asks nothing and reports nothing.
    }
}

void TForm1::PNGButton2Click(QObject*)
{
    AddPictures(dialogs_->ChoosePagePictures(), {}, QStringLiteral("Add"));
}

void TForm1::PNGButton1Click(QObject*)
{
    const QList<int> selected = ListView1->SelectedPositions();
    if (selected.isEmpty()) {
        return;
    }
    PageListModel& pages = ListView1->Pages();
    const int current = CurrentRowAfterRemoval(selected, ListView1->currentIndex().row(), pages.rowCount());
    const int column = std::max(ListView1->currentIndex().column(), 0);
    // The selection goes first, in one step: the list would otherwise update it for every range of
    // rows that leaves.
    ListView1->selectionModel()->clearSelection();
    undoStack_->push(new RemovePagesCommand(pages, RangesOfPositions(selected), QStringLiteral("Remove")));
    if (current >= 0) {
        ListView1->selectionModel()->setCurrentIndex(pages.index(current, column), QItemSelectionModel::NoUpdate);
    }
}

void TForm1::PNGButton3Click(QObject*)
{
    PageListModel& pages = ListView1->Pages();
    if (pages.rowCount() > 0) {
        undoStack_->push(new RemovePagesCommand(pages, {{0, pages.rowCount()}}, QStringLiteral("Remove All")));
    }
}

void TForm1::PNGButton4Click(QObject*)
{
    const QScopedValueRollback<bool> holdCommandsOff(converting_, true);
    QStringList rows = RowPaths();
    if (rows.isEmpty()) {
        dialogs_->ShowPlainMessage(QStringLiteral("Please add some pictures!"), kNoteCaption);
        return;
    }
    // What changed just before is saved and kept now, before the long work, rather than during it.
    if (saveSettingsTimer_->isActive()) {
        WriteChangedSettings();
    }
    if (keepTimer_->isActive()) {
        KeepList();
    }
    const QString language = ComboBox1->Tag();
    if (!language.isEmpty() && !LanguageTagProblem(language).isEmpty()) {
        dialogs_->ShowPlainMessage(QStringLiteral("The language \"%1\" %2. Please choose a language from the list.")
                                       .arg(language, LanguageTagProblem(language)),
                                   kNoteCaption);
        return;
    }
    if (!LabeledEdit6->text().isEmpty() && !IsSeriesNumber(LabeledEdit6->text())) {
        dialogs_->ShowPlainMessage(QStringLiteral("Please give the number in the series as a number such as 3 or 3.5!"),
                                   kNoteCaption);
        return;
    }
    stagingRemover_.RemoveAbandoned();
    // The book is packed straight from the pictures: nothing is staged, so other windows and command lines
    // converting meanwhile have nothing of this conversion to touch.
    WindowConversionUi ui(*dialogs_, *this);
    ConvertBook(std::move(rows), CurrentBookSettings(), {places_.installationData, QString()}, ui);
    // A big book's conversion leaves tens of megabytes free in the program's heap; they go back to the system
    // rather than stay with the window until it closes.
    ::malloc_trim(0);
}

void TForm1::PNGButton5Click(QObject*)
{
    if (!dialogs_->OpenAddress(QUrl(kHomePageAddress))) {
        throw ErrorAbout("The desktop could not open the home page", {kHomePageAddress});
    }
}

void TForm1::PNGButton8Click(QObject*)
{
    const QString cover = dialogs_->ChooseCoverPicture();
    if (!cover.isEmpty()) {
        fieldHistory_->SetByPerson(*LabeledEdit3, cover, QStringLiteral("Choose Cover"));
    }
}

void TForm1::PNGButton9Click(QObject*)
{
    const QString folder = dialogs_->BrowseForFolder(QString());
    if (!folder.isEmpty()) {
        fieldHistory_->SetByPerson(*LabeledEdit4, folder, QStringLiteral("Choose Output Folder"));
        SaveChangedSettings();
    }
}

void TForm1::Image2MouseDown(QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, QPoint)
{
    DragWindow(button);
}

void TForm1::Image4MouseDown(QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, QPoint)
{
    DragWindow(button);
}

void TForm1::Image6MouseDown(QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, QPoint)
{
    DragWindow(button);
}

void TForm1::DragWindow(Qt::MouseButton button)
{
    if (StartsWindowDrag(button, windowState())) {
        // The window system moves the window with the pointer until the button is released.
        windowHandle()->startSystemMove();
    }
}

void TForm1::Add1Click(QObject*)
{
    PNGButton2Click(this);
}

void TForm1::RemoveSelected1Click(QObject*)
{
    PNGButton1Click(this);
}

void TForm1::RemoveAll1Click(QObject*)
{
    PNGButton3Click(this);
}

void TForm1::AddFolder1Click(QObject*)
{
    const QString folder = dialogs_->BrowseForFolder(QString());
    if (!folder.isEmpty()) {
        const FolderPictures pictures = PicturesInFolder(folder);
        AddPictures(pictures.paths, pictures.undecodable, QStringLiteral("Add Folder"));
    }
}

void TForm1::SortByFileName1Click(QObject*)
{
    PageListModel& pages = ListView1->Pages();
    const QList<int> order = FileNameOrder(pages.Rows());
    if (!std::is_sorted(order.begin(), order.end())) {
        undoStack_->push(new ReorderPagesCommand(pages, order, QStringLiteral("Sort by File Name")));
    }
}

void TForm1::Undo1Click(QObject*)
{
    undoStack_->undo();
}

void TForm1::Redo1Click(QObject*)
{
    undoStack_->redo();
}

void TForm1::PopupMenu1Popup(QObject*)
{
    OfferRemovalCommands();
}

void TForm1::OfferRemovalCommands()
{
    RemoveSelected1->setEnabled(ListView1->selectionModel()->hasSelection());
    RemoveAll1->setEnabled(ListView1->Pages().rowCount() > 0);
    UseAsCover1->setEnabled(ListView1->currentIndex().isValid());
}

void TForm1::UseAsCover1Click(QObject*)
{
    const QModelIndex current = ListView1->currentIndex();
    if (current.isValid()) {
        fieldHistory_->SetByPerson(*LabeledEdit3, ListView1->Pages().Path(current.row()),
                                   QStringLiteral("Use as Cover"));
    }
}

void TForm1::ListView1Click(QObject*)
{
    const int row = ListView1->FirstSelectedPosition();
    if (row < 0) {
        return;
    }
    const QString path = ListView1->Pages().Path(row);
    std::optional<QImage> picture;
    try {
        picture = MakePreviewPicture(path, Image1->size());
    } catch (const PictureError& error) {
        // The library tells what is wrong, not with which file: the error box names the picture. Its reasons
        // are written to follow a file's name ("not a picture"); here one begins the box.
        QString reason = error.Text();
        if (!reason.isEmpty()) {
            reason[0] = reason[0].toUpper();
        }
        throw ErrorAbout(reason, {path});
    }
    if (picture) {
        Image1->SetPicture(*picture);
        previewedRow_ = ListView1->Pages().index(row, kPageColumn);
        previewShowsRow_ = true;
    }
}

// The previewed row is gone (removed, or the list told anew): the preview shows the current row's picture instead,
// or "No picture" when there is no current row or its picture cannot be shown.
void TForm1::ShowPreviewOfCurrentRow()
{
    previewShowsRow_ = false;
    previewedRow_ = QPersistentModelIndex();
    const QModelIndex current = ListView1->currentIndex();
    std::optional<QImage> picture;
    if (current.isValid()) {
        try {
            picture = MakePreviewPicture(ListView1->Pages().Path(current.row()), Image1->size());
        } catch (const UserError&) {
            // The person did not ask for this picture: "No picture" says enough, and a click on the row names the
            // reason.
        }
    }
    if (!picture) {
        Image1->SetPicture(noPicture_);
        return;
    }
    Image1->SetPicture(*picture);
    previewedRow_ = ListView1->Pages().index(current.row(), kPageColumn);
    previewShowsRow_ = true;
}

void TForm1::ListView1DragOver(QObject*, QObject*, QPoint)
{
    const int row = ListView1->FirstSelectedPosition();
    DraggedItem = row < 0 ? QModelIndex() : ListView1->Pages().index(row, kPageColumn);
}

void TForm1::ListView1DragDrop(QObject*, QObject* source, QPoint pos)
{
    if (qobject_cast<const QAbstractItemView*>(source) == nullptr) {
        return;
    }
    const int target = ListView1->RowAtHeight(pos.y());
    // A drop when no row was selected as the drag came over the list moves nothing.
    if (target < 0 || !DraggedItem.isValid() || ListView1->FirstSelectedPosition() < 0) {
        return;
    }
    // The dragged row ends just above the row it is dropped on: in that row's place when it comes
    // from below, one place higher when it comes from above, as the rows between close up.
    const int from = DraggedItem.row();
    const int to = target > from ? target - 1 : target;
    if (to == from) {
        return;
    }
    PageListModel& pages = ListView1->Pages();
    undoStack_->push(new MovePageCommand(pages, from, to, QStringLiteral("Move")));
    ListView1->selectionModel()->select(pages.index(to, kPageColumn),
                                        QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void TForm1::ListView1PageNumberTyped(QObject*, int row, const QString& text)
{
    PageListModel& pages = ListView1->Pages();
    const std::optional<int> position = PositionOfTypedPageNumber(text, pages.rowCount());
    if (position && *position != row) {
        undoStack_->push(new MovePageCommand(pages, row, *position, QStringLiteral("Move")));
    }
}

void TForm1::ListView1FilesDropped(QObject*, const QStringList& paths, const QStringList& undecodable)
{
    AddPictures(paths, undecodable, QStringLiteral("Drop"));
}

void TForm1::AddPicturesFromArguments(const QStringList& arguments, const QStringList& unknownOptions)
{
    QStringList existing;
    QStringList passedOver = unknownOptions;
    for (const QString& argument : arguments) {
        (QFileInfo::exists(argument) ? existing : passedOver).append(argument);
    }
    Guarded([&] {
        if (!passedOver.isEmpty()) {
            ShowErrorBox(
                *dialogs_,
                ErrorAbout("These arguments name no picture, folder or option, and were passed over", passedOver));
        }
        const FolderPictures pictures = PicturesNamedBy(existing);
        AddPictures(pictures.paths, pictures.undecodable, QStringLiteral("Add"));
    });
}

void TForm1::AppendPages(const QStringList& paths, const QString& step)
{
    if (paths.isEmpty()) {
        return;
    }
    PageListModel& pages = ListView1->Pages();
    undoStack_->push(new AppendPagesCommand(pages, RowsForPaths(paths), step));
    ListView1->scrollTo(pages.index(pages.rowCount() - 1, kPageColumn));
}

void TForm1::AddPictures(const QStringList& paths, const QStringList& undecodable, const QString& step)
{
    const CheckedPictures checked = CheckPictures(paths);
    AppendPages(checked.accepted, step);
    // A book names each picture by its file name, which must be text, and can hold only whole pictures; the
    // others are left out, and each is named with the reason.
    QStringList refused;
    for (const QString& path : undecodable) {
        refused << QStringLiteral("%1 (the name is not valid UTF-8)").arg(path);
    }
    refused << checked.refused;
    if (!refused.isEmpty()) {
        throw ErrorAbout("These files were not added", refused);
    }
}

QStringList TForm1::RowPaths() const
{
    return ListView1->Pages().Paths();
}

BookSettings TForm1::CurrentBookSettings() const
{
    BookSettings settings;
    settings.title = Edit1->text();
    settings.author = Edit2->text();
    settings.coverPath = LabeledEdit3->text();
    settings.outputFolder = LabeledEdit4->text();
    settings.format = AllBookFormats().value(LayoutSwitch->Choice(), &DefaultBookFormat());
    settings.direction = DirectionSwitch->Choice() == 1 ? ReadingDirection::RightToLeft : ReadingDirection::LeftToRight;
    settings.language = ComboBox1->Tag().isEmpty() ? DefaultLanguageTag() : ComboBox1->Tag();
    settings.series = LabeledEdit5->text();
    settings.seriesNumber = LabeledEdit6->text();
    return settings;
}

void TForm1::ConnectHandlers()
{
    using ClickHandler = void (TForm1::*)(QObject*);
    const auto onClick = [this](auto* control, ClickHandler handler) {
        connect(control, &std::remove_pointer_t<decltype(control)>::clicked, this,
                [this, control, handler] { Guarded([&] { (this->*handler)(control); }); });
    };
    onClick(ImgBtnMin, &TForm1::ImgBtnMinClick);
    onClick(ImgBtnClose, &TForm1::ImgBtnCloseClick);
    onClick(PNGButton2, &TForm1::PNGButton2Click);
    onClick(PNGButton1, &TForm1::PNGButton1Click);
    onClick(PNGButton3, &TForm1::PNGButton3Click);
    onClick(PNGButton4, &TForm1::PNGButton4Click);
    onClick(PNGButton5, &TForm1::PNGButton5Click);
    onClick(PNGButton8, &TForm1::PNGButton8Click);
    onClick(PNGButton9, &TForm1::PNGButton9Click);

    // A button whose own event handling fails (disabling one without a picture) reports it here.
    for (TPNGButton* button : findChildren<TPNGButton*>()) {
        button->OnError = [this](const UserError& error) { ShowErrorBox(*dialogs_, error); };
    }

    using MouseDownHandler = void (TForm1::*)(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint);
    const auto onMouseDown = [this](PictureBox* picture, MouseDownHandler handler) {
        connect(picture, &PictureBox::mouseDown, this,
                [this, picture, handler](Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos) {
                    Guarded([&] { (this->*handler)(picture, button, shift, pos); });
                });
    };
    onMouseDown(Image2, &TForm1::Image2MouseDown);
    onMouseDown(Image4, &TForm1::Image4MouseDown);
    onMouseDown(Image6, &TForm1::Image6MouseDown);

    const auto onTriggered = [this](QAction* item, ClickHandler handler) {
        connect(item, &QAction::triggered, this, [this, item, handler] { Guarded([&] { (this->*handler)(item); }); });
    };
    onTriggered(Add1, &TForm1::Add1Click);
    onTriggered(AddFolder1, &TForm1::AddFolder1Click);
    onTriggered(RemoveSelected1, &TForm1::RemoveSelected1Click);
    onTriggered(RemoveAll1, &TForm1::RemoveAll1Click);
    onTriggered(SortByFileName1, &TForm1::SortByFileName1Click);
    onTriggered(Undo1, &TForm1::Undo1Click);
    onTriggered(Redo1, &TForm1::Redo1Click);
    onTriggered(Convert1, &TForm1::PNGButton4Click);
    onTriggered(Home1, &TForm1::PNGButton5Click);
    onTriggered(Quit1, &TForm1::ImgBtnCloseClick);
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { Guarded([this] { PopupMenu1Popup(PopupMenu1); }); });

    // The removal commands and their keys are offered only when there is something to remove.
    const PageListModel* pages = &ListView1->Pages();
    const auto offer = [this] { OfferRemovalCommands(); };
    connect(pages, &QAbstractItemModel::rowsInserted, this, offer);
    connect(pages, &QAbstractItemModel::rowsRemoved, this, offer);
    connect(pages, &QAbstractItemModel::modelReset, this, offer);
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, offer);
    OfferRemovalCommands();
    // Undo and Redo name the step they would take back or make again.
    connect(undoStack_, &QUndoStack::canUndoChanged, Undo1, &QAction::setEnabled);
    connect(undoStack_, &QUndoStack::canRedoChanged, Redo1, &QAction::setEnabled);
    // The stack says so also while the window is destroyed, so these reach the items alone.
    connect(undoStack_, &QUndoStack::undoTextChanged, Undo1, [undo = Undo1](const QString& step) {
        undo->setText(step.isEmpty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + step);
    });
    connect(undoStack_, &QUndoStack::redoTextChanged, Redo1, [redo = Redo1](const QString& step) {
        redo->setText(step.isEmpty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + step);
    });
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);

    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](QPoint pos) { Guarded([&] { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(pos)); }); });
    connect(ListView1, &QAbstractItemView::clicked, this, [this] { Guarded([this] { ListView1Click(ListView1); }); });
    // A move of the current row with the keyboard refreshes the preview as a click does.
    connect(ListView1, &PageListView::currentMovedByKey, this,
            [this] { Guarded([this] { ListView1Click(ListView1); }); });
    connect(ListView1, &PageListView::pageNumberTyped, this,
            [this](int row, const QString& text) { Guarded([&] { ListView1PageNumberTyped(ListView1, row, text); }); });
    connect(ListView1, &PageListView::dragOver, this,
            [this](QObject* source, QPoint pos) { Guarded([&] { ListView1DragOver(ListView1, source, pos); }); });
    connect(ListView1, &PageListView::dragDrop, this,
            [this](QObject* source, QPoint pos) { Guarded([&] { ListView1DragDrop(ListView1, source, pos); }); });
    connect(ListView1, &PageListView::filesDropped, this,
            [this](const QStringList& paths, const QStringList& undecodable) {
                Guarded([&] { ListView1FilesDropped(ListView1, paths, undecodable); });
            });

    onTriggered(UseAsCover1, &TForm1::UseAsCover1Click);
    onTriggered(OpenList1, &TForm1::OpenList1Click);
    onTriggered(SaveList1, &TForm1::SaveList1Click);
    connect(ListView1->selectionModel(), &QItemSelectionModel::currentChanged, this, offer);
    FollowFields();

    // The previewed row removed, or every row told anew: once the list has settled its current row, the preview
    // shows that row's picture, never a removed one.
    const auto previewedRowMayBeGone = [this] {
        QTimer::singleShot(0, this, [this] {
            if (previewShowsRow_ && !previewedRow_.isValid()) {
                ShowPreviewOfCurrentRow();
            }
        });
    };
    connect(pages, &QAbstractItemModel::rowsRemoved, this, previewedRowMayBeGone);
    connect(pages, &QAbstractItemModel::modelReset, this, previewedRowMayBeGone);

    // The output folder, the kind of book and the language are saved as they change, typing a moment later.
    connect(saveSettingsTimer_, &QTimer::timeout, this, &TForm1::SaveChangedSettings);
    const auto saveSoon = [this] { saveSettingsTimer_->start(); };
    connect(LabeledEdit4, &QLineEdit::textChanged, this, saveSoon);
    connect(ComboBox1, &QComboBox::editTextChanged, this, saveSoon);
    for (BannerToggle* toggle : {LayoutSwitch, DirectionSwitch}) {
        connect(toggle, &BannerToggle::turned, this, [this] {
            SaveChangedSettings();
            KeepListSoon();
        });
    }

    // The page list and the book's details are kept as they change, a moment after the last change.
    connect(keepTimer_, &QTimer::timeout, this, &TForm1::KeepList);
    const auto keepSoon = [this] { KeepListSoon(); };
    for (QLineEdit* field : std::initializer_list<QLineEdit*>{Edit1, Edit2, LabeledEdit3, LabeledEdit5, LabeledEdit6}) {
        connect(field, &QLineEdit::textChanged, this, keepSoon);
    }
    connect(ComboBox1, &QComboBox::editTextChanged, this, keepSoon);
    connect(pages, &QAbstractItemModel::rowsInserted, this, keepSoon);
    connect(pages, &QAbstractItemModel::rowsRemoved, this, keepSoon);
    connect(pages, &QAbstractItemModel::rowsMoved, this, keepSoon);
    connect(pages, &QAbstractItemModel::layoutChanged, this, keepSoon);
    connect(pages, &QAbstractItemModel::modelReset, this, keepSoon);
}

void TForm1::FollowFields()
{
    fieldHistory_->Follow(*Edit1, QStringLiteral("Title"));
    fieldHistory_->Follow(*Edit2, QStringLiteral("Author"));
    fieldHistory_->Follow(*LabeledEdit3, QStringLiteral("Cover"));
    fieldHistory_->Follow(*ComboBox1->lineEdit(), QStringLiteral("Language"));
    fieldHistory_->Follow(*LabeledEdit5, QStringLiteral("Series"));
    fieldHistory_->Follow(*LabeledEdit6, QStringLiteral("Number"));
    fieldHistory_->Follow(*LabeledEdit4, QStringLiteral("Output Folder"));
    // A language picked from the list, or from the languages that typing found, is a step of its own.
    QLineEdit* language = ComboBox1->lineEdit();
    const auto chosen = [this, language] { fieldHistory_->Record(*language, QStringLiteral("Choose Language")); };
    connect(ComboBox1, qOverload<int>(&QComboBox::activated), this, chosen);
    connect(ComboBox1->completer(), qOverload<const QString&>(&QCompleter::activated), this, chosen);
}
