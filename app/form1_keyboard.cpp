// The window's keyboard: the commands' keys, the order in which Tab visits the controls, and the
// tooltips that name the buttons' keys.

#include "app/controls/banner_toggle.h"
#include "app/controls/img_btn.h"
#include "app/controls/png_button.h"
#include "app/form1.h"
#include "app/labeled_edit.h"
#include "app/language_box.h"
#include "builder/workflow/book_formats.h"
#include "pages/page_list_view.h"
#include "settings/book_details.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {

QAction* CreateAction(TForm1& form, const char* name, const QString& text)
{
    auto* action = new QAction(text, &form);
    action->setObjectName(QLatin1String(name));
    return action;
}

// What a button does and, in brackets, the key that does the same.
QString ToolTipWithKey(const QString& what, const QAction& action)
{
    return what + QStringLiteral(" (") + action.shortcut().toString(QKeySequence::NativeText) + u')';
}

}  // namespace

void TForm1::CreateKeyboardCommands()
{
    Convert1 = CreateAction(*this, "Convert1", QStringLiteral("Convert"));
    Home1 = CreateAction(*this, "Home1", QStringLiteral("Home"));
    Quit1 = CreateAction(*this, "Quit1", QStringLiteral("Quit"));

    // The desktop's usual keys where it has one for the command.
    Add1->setShortcuts(QKeySequence::Open);
    AddFolder1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    RemoveAll1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    OpenList1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    SaveList1->setShortcuts(QKeySequence::Save);
    Undo1->setShortcuts(QKeySequence::Undo);
    Redo1->setShortcuts(QKeySequence::Redo);
    Convert1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    Home1->setShortcuts(QKeySequence::HelpContents);
    // Desktops of the Windows kind have no key of their own for Quit.
    Quit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Delete removes pages only in the page list: in an edit it deletes a character.
    RemoveSelected1->setShortcuts(QKeySequence::Delete);
    RemoveSelected1->setShortcutContext(Qt::WidgetShortcut);
    ListView1->addAction(RemoveSelected1);
    // Use as Cover takes the page at hand, in the page list alone, as Delete does.
    UseAsCover1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    UseAsCover1->setShortcutContext(Qt::WidgetShortcut);
    ListView1->addAction(UseAsCover1);
    // The other keys work wherever the focus is in the window, unless the control there uses the key
    // itself, as an edit uses Ctrl+A. Undo and Redo work in the fields too (FieldHistory).
    addActions(
        {Add1, AddFolder1, RemoveAll1, SortByFileName1, OpenList1, SaveList1, Undo1, Redo1, Convert1, Home1, Quit1});
    // The list's menu shows each item's key, whatever the desktop's habit for context menus.
    for (QAction* item : PopupMenu1->actions()) {
        item->setShortcutVisibleInContextMenu(true);
    }

    // The buttons take the focus from Tab alone, so that a click on one leaves the focus where it was.
    for (QWidget* button :
         std::initializer_list<QWidget*>{PNGButton8, PNGButton9, PNGButton2, PNGButton1, PNGButton3, PNGButton4,
                                         PNGButton5, LayoutSwitch, DirectionSwitch, ImgBtnMin, ImgBtnClose}) {
        button->setFocusPolicy(Qt::TabFocus);
    }
    // Tab goes through the book's settings and the page list first, then through the commands.
    const QList<QWidget*> tabOrder = {Edit1,        Edit2,           ListView1,    LabeledEdit3, PNGButton8,
                                      ComboBox1,    LabeledEdit5,    LabeledEdit6, LabeledEdit4, PNGButton9,
                                      PNGButton2,   PNGButton1,      PNGButton3,   PNGButton4,   PNGButton5,
                                      LayoutSwitch, DirectionSwitch, ImgBtnMin,    ImgBtnClose};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    // The window opens with the focus in the title field, the first of the book's settings.
    Edit1->setFocus();

    PNGButton2->setToolTip(ToolTipWithKey(QStringLiteral("Add pictures"), *Add1));
    PNGButton1->setToolTip(ToolTipWithKey(QStringLiteral("Remove the selected pages"), *RemoveSelected1));
    PNGButton3->setToolTip(ToolTipWithKey(QStringLiteral("Remove every page"), *RemoveAll1));
    PNGButton4->setToolTip(ToolTipWithKey(QStringLiteral("Make the book"), *Convert1));
    PNGButton5->setToolTip(ToolTipWithKey(QStringLiteral("Open the home page"), *Home1));
    ImgBtnMin->setToolTip(QStringLiteral("Minimise"));
    ImgBtnClose->setToolTip(ToolTipWithKey(QStringLiteral("Close"), *Quit1));
    PNGButton8->setToolTip(
        QStringLiteral("Choose the cover picture\n(a page of the list: Use as Cover in its menu, %1)")
            .arg(UseAsCover1->shortcut().toString(QKeySequence::NativeText)));
    const QString language = QStringLiteral("The book's language: choose it by its name, or type a tag such as en, "
                                            "pt-BR or zh-Hant.\nEmpty: the system's language (%1).")
                                 .arg(DefaultLanguageTag());
    ComboBox1->setToolTip(language);
    Label3->setToolTip(language);
    LabeledEdit5->setToolTip(QStringLiteral("The series the book belongs to, if any"));
    LabeledEdit6->setToolTip(QStringLiteral("The book's number in the series, such as 3 or 3.5"));
    PNGButton9->setToolTip(QStringLiteral("Choose the output folder"));
    QString kinds = QStringLiteral("The kind of book; click to change.");
    for (const BookFormat* format : AllBookFormats()) {
        kinds += u'\n' + format->Label() + QStringLiteral(": ") + format->Description() + u'.';
    }
    LayoutSwitch->setToolTip(kinds);
    DirectionSwitch->setToolTip(QStringLiteral("The reading direction; click to change.\n"
                                               "Right to left pairs facing pages as manga do."));
}
