// The window's page list as a file: Save List and Open List, the list kept in the user's state folder as it
// changes, and the lists left behind offered back at the start.

#include "app/controls/banner_toggle.h"
#include "app/error_box.h"
#include "app/field_history.h"
#include "app/form1.h"
#include "app/labeled_edit.h"
#include "app/language_box.h"
#include "app/window_dialogs.h"
#include "builder/workflow/book_formats.h"
#include "builder/workflow/book_settings.h"
#include "common/product.h"
#include "pages/page_list_commands.h"
#include "pages/page_list_model.h"
#include "pages/page_list_view.h"
#include "pictures/picture_files.h"
#include "settings/book_details.h"
#include "settings/book_list_file.h"
#include "settings/list_keeper.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QUndoStack>

BookList TForm1::CurrentBookList() const
{
    BookList list;
    list.title = Edit1->text();
    list.author = Edit2->text();
    list.language = ComboBox1->Tag();
    list.series = LabeledEdit5->text();
    list.number = LabeledEdit6->text();
    list.cover = LabeledEdit3->text();
    const BookSettings settings = CurrentBookSettings();
    list.layout = FormatOf(settings).Key();
    list.direction = settings.direction;
    return list;
}

// The list's pages and details in place of the window's: the pages as Add takes them (checked, those refused named
// in one ErrorAbout), every detail, an empty one too, and the kind of book where the list names one. With a step's
// name, one step of Undo; without, no step at all (the window's start).
void TForm1::TakeBookList(const BookList& list, const QString& step)
{
    const CheckedPictures checked = CheckPictures(list.pictures);
    PageListModel& pages = ListView1->Pages();
    const auto setField = [&](QLineEdit& field, const QString& text) {
        if (step.isEmpty()) {
            fieldHistory_->Set(field, text);
        } else {
            fieldHistory_->SetByPerson(field, text, step);
        }
    };
    if (!step.isEmpty()) {
        undoStack_->beginMacro(step);
    }
    if (pages.rowCount() > 0) {
        ListView1->selectionModel()->clearSelection();
        undoStack_->push(new RemovePagesCommand(pages, {{0, pages.rowCount()}}, step));
    }
    if (!checked.accepted.isEmpty()) {
        undoStack_->push(new AppendPagesCommand(pages, RowsForPaths(checked.accepted), step));
    }
    setField(*Edit1, list.title);
    setField(*Edit2, list.author);
    setField(*LabeledEdit3, list.cover);
    setField(*ComboBox1->lineEdit(), ComboBox1->TextFor(list.language));
    setField(*LabeledEdit5, list.series);
    setField(*LabeledEdit6, list.number);
    if (!step.isEmpty()) {
        undoStack_->endMacro();
    } else {
        undoStack_->clear();
    }
    if (const BookFormat* format = BookFormatNamed(list.layout)) {
        LayoutSwitch->SetChoice(static_cast<int>(AllBookFormats().indexOf(format)));
    }
    if (list.direction) {
        DirectionSwitch->SetChoice(*list.direction == ReadingDirection::RightToLeft ? 1 : 0);
    }
    if (!checked.refused.isEmpty()) {
        throw ErrorAbout("These pictures of the list are gone or no longer whole, and were left out", checked.refused);
    }
}

void TForm1::SaveList1Click(QObject*)
{
    const QString suggested = Edit1->text().isEmpty() ? QString() : Edit1->text() + QStringLiteral(".txt");
    const QString path = dialogs_->ChooseListToSave(suggested);
    if (path.isEmpty()) {
        return;
    }
    BookList list = CurrentBookList();
    list.pictures = RowPaths();
    WriteBookListFile(path, BookListText(list, QFileInfo(path).absolutePath()));
}

void TForm1::OpenList1Click(QObject*)
{
    const QString path = dialogs_->ChooseListToOpen();
    if (!path.isEmpty()) {
        TakeBookList(ReadBookList(path), QStringLiteral("Open List"));
    }
}

void TForm1::OfferKeptLists()
{
    std::vector<KeptListSlot> leftBehind = KeptListSlot::LeftBehind(places_.stateFolder);
    for (KeptListSlot& slot : leftBehind) {
        if (keptSlot_.IsHeld()) {
            // This window has a list already; the others wait for another window.
            break;
        }
        try {
            OfferKeptList(slot);
        } catch (const UserError& error) {
            ShowErrorBox(*dialogs_, error);
        }
    }
}

// One list left behind, offered back.
void TForm1::OfferKeptList(KeptListSlot& slot)
{
    BookList list;
    try {
        list = ReadBookList(slot.ListPath());
    } catch (const BookListError&) {
        // A list that cannot be read is of no use to anyone: it goes, and the box says why.
        slot.Remove();
        throw;
    }
    if (list.pictures.isEmpty()) {
        slot.Remove();
        return;
    }
    const QString title = list.title.isEmpty() ? QString() : QStringLiteral(" of \"%1\"").arg(list.title);
    const QString question =
        QStringLiteral("A window of Tamboril closed or stopped on %1 with a page list%2 of %3 pages.\n\n"
                       "Do you want to take up that list again?")
            .arg(QLocale().toString(slot.KeptAt(), QLocale::ShortFormat), title)
            .arg(list.pictures.size());
    if (!dialogs_->AskInformationYesNo(question, kProductTitle)) {
        slot.Remove();
        return;
    }
    keptSlot_ = std::move(slot);
    TakeBookList(list, QString());
}

void TForm1::KeepListSoon()
{
    keepTimer_->start();
}

// Hands the list as it stands to the keeper, which writes it on its own thread; the rows are shared with the list,
// not copied, until the list changes. The first list worth keeping claims the window's slot.
void TForm1::KeepList()
{
    keepTimer_->stop();
    BookList list = CurrentBookList();
    if (!keptSlot_.IsHeld()) {
        const bool nothingToKeep = ListView1->Pages().rowCount() == 0 && list.title.isEmpty() && list.author.isEmpty()
                                   && list.cover.isEmpty() && list.series.isEmpty() && list.number.isEmpty();
        if (nothingToKeep) {
            return;
        }
        try {
            keptSlot_ = KeptListSlot::Claim(places_.stateFolder);
        } catch (const BookListError& error) {
            ShowKeepingFailure(error.Text());
            return;
        }
    }
    keeper_->Keep(keptSlot_.ListPath(), [list, rows = ListView1->Pages().Rows()](QIODevice& file) {
        // A path at a time: a list of tens of thousands of pages is never held a second time as text.
        file.write(BookListText(list, QString()));
        QByteArray line;
        for (const PageRow& row : rows) {
            line.clear();
            AppendBookListPicture(line, row.Path(), QString());
            file.write(line);
        }
    });
}

void TForm1::WaitUntilKept()
{
    if (keepTimer_->isActive()) {
        KeepList();
    }
    keeper_->Wait();
}

// A window closed with pages leaves its list for the next one to offer; one without pages leaves nothing.
void TForm1::EndKeeping()
{
    if (ListView1->Pages().rowCount() > 0) {
        KeepList();
    } else {
        keepTimer_->stop();
    }
    keeper_->Finish();
    if (ListView1->Pages().rowCount() == 0) {
        keptSlot_.Remove();
    }
}

void TForm1::ShowKeepingFailure(const QString& reason)
{
    if (keepingFailureShown_) {
        return;
    }
    keepingFailureShown_ = true;
    ShowErrorBox(*dialogs_,
                 UserError(QStringLiteral("The page list cannot be kept in case the window stops: ") + reason));
}
