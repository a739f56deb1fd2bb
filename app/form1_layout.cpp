// The controls of the main window: their names, kinds, places, pictures and texts, and how they
// are stacked. Children are created bottom first, so later ones lie over earlier ones.

#include "app/aligned_layout.h"
#include "app/controls/banner_toggle.h"
#include "app/controls/img_btn.h"
#include "app/controls/png_button.h"
#include "app/form1.h"
#include "app/interface_art.h"
#include "app/labeled_edit.h"
#include "app/language_box.h"
#include "app/panel.h"
#include "app/picture_box.h"
#include "app/window_chrome.h"
#include "app/window_palette.h"
#include "builder/workflow/book_formats.h"
#include "common/product.h"
#include "pages/page_list_view.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QScreen>

namespace {

constexpr int kWindowWidth = 719;
constexpr int kWindowHeight = 512;
constexpr QPoint kWindowPosition(301, 146);
// The layout's fonts are given by height in pixels at 96 dots per inch.
constexpr int kFontPixels = 11;

// "Arial" where it exists; Debian's metric-compatible stand-in otherwise.
QFont ArialFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(kFontPixels);
    return font;
}

// The window's own font for every control that sets none, standing in for "MS Sans Serif".
QFont DefaultFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(kFontPixels);
    return font;
}

// The Convert button's "Arial Black", bold; a bold sans where it does not exist.
QFont ArialBlackFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(kFontPixels);
    font.setBold(true);
    return font;
}

QList<QRect> AvailableScreenAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    return areas;
}

QRect AvailableAreaUnderPointer()
{
    const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen == nullptr ? QRect() : screen->availableGeometry();
}

template <typename Control>
Control* Create(QWidget* parent, const char* name, TAlign align, const QRect& rect)
{
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(rect);
    SetAlign(*control, align);
    return control;
}

TPanel* CreatePanel(QWidget* parent, const char* name, TAlign align, const QRect& rect)
{
    return Create<TPanel>(parent, name, align, rect);
}

enum class Fit {
    Stretch,   // the picture is scaled to the control
    AutoSize,  // the control takes the picture's size
};

PictureBox* CreatePicture(QWidget* parent, const char* name, TAlign align, const QRect& rect, const char* art, Fit fit)
{
    auto* picture = Create<PictureBox>(parent, name, align, rect);
    picture->SetPicture(LoadArt(QLatin1String(art)));
    picture->SetStretch(fit == Fit::Stretch);
    picture->SetAutoSize(fit == Fit::AutoSize);
    return picture;
}

TImgBtn* CreateWindowButton(QWidget* parent, const char* name)
{
    // Placed and given its pictures by FormCreate.
    return Create<TImgBtn>(parent, name, TAlign::alNone, QRect(0, 0, 25, 31));
}

TPNGButton* CreateCommandButton(QWidget* parent, const char* name, const QRect& rect, const QString& caption,
                                const char* icon, const QFont& font = ArialFont(), QColor color = Qt::white)
{
    auto* button = Create<TPNGButton>(parent, name, TAlign::alNone, rect);
    button->SetButtonLayout(TPNGButtonLayout::pbsImageAbove);
    button->SetButtonStyle(TPNGButtonStyle::pbsFlat);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(font);
    button->SetFontColor(color);
    button->SetCaption(caption);
    button->SetImageNormal(LoadArt(QLatin1String(icon)));
    return button;
}

BannerToggle* CreateBannerSwitch(QWidget* parent, const char* name, const QRect& rect, const QStringList& captions)
{
    auto* toggle = Create<BannerToggle>(parent, name, TAlign::alNone, rect);
    toggle->setFont(ArialFont());
    toggle->SetChoices(captions);
    return toggle;
}

LabeledEdit* CreateLabeledEdit(QWidget* parent, const char* name, const QRect& rect, const QString& label)
{
    auto* edit = Create<LabeledEdit>(parent, name, TAlign::alNone, rect);
    edit->SetLabelText(label);
    return edit;
}

}  // namespace

void TForm1::CreateControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kProductTitle);
    setWindowIcon(ApplicationIcon());
    // No frame and no title bar; the minimise hint lets window managers still minimise it.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setFixedSize(kWindowWidth, kWindowHeight);
    move(WindowPosition(size(), kWindowPosition, AvailableScreenAreas(), AvailableAreaUnderPointer()));
    setPalette(WindowPalette());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFont(DefaultFont());

    PanelTop = CreatePanel(this, "PanelTop", TAlign::alTop, QRect(0, 0, 719, 135));
    CreateBanner();
    PanelBtm = CreatePanel(this, "PanelBtm", TAlign::alBottom, QRect(0, 467, 719, 45));
    CreateBottomBanner();
    PanelLeft = CreatePanel(this, "PanelLeft", TAlign::alLeft, QRect(0, 135, 171, 332));
    CreateLeftPanel();
    Image9 = CreatePicture(this, "Image9", TAlign::alRight, QRect(704, 135, 15, 332), "edge_right.jpg", Fit::Stretch);
    PanelClient = CreatePanel(this, "PanelClient", TAlign::alClient, QRect(171, 135, 533, 332));
    PanelClient->SetColor(Qt::white);
    CreateClientPanel();

    AlignControls(*this);
}

void TForm1::CreateBanner()
{
    QWidget* p = PanelTop;
    Image4 = CreatePicture(p, "Image4", TAlign::alClient, QRect(333, 0, 206, 135), "banner_middle.jpg", Fit::Stretch);
    Image2 = CreatePicture(p, "Image2", TAlign::alLeft, QRect(0, 0, 333, 135), "banner_left.jpg", Fit::AutoSize);
    Image6 = CreatePicture(p, "Image6", TAlign::alRight, QRect(539, 0, 180, 135), "banner_right.jpg", Fit::AutoSize);
    ImgBtnMin = CreateWindowButton(p, "ImgBtnMin");
    ImgBtnClose = CreateWindowButton(p, "ImgBtnClose");
    PNGButton1 =
        CreateCommandButton(p, "PNGButton1", QRect(56, 40, 58, 58), QStringLiteral("Remove"), "icon_remove.png");
    PNGButton5 = CreateCommandButton(p, "PNGButton5", QRect(256, 40, 58, 58), QStringLiteral("Home"), "icon_home.png");
    PNGButton4 = CreateCommandButton(p, "PNGButton4", QRect(184, 40, 58, 58), QStringLiteral("Convert"),
                                     "icon_convert.png", ArialBlackFont(), Qt::yellow);
    PNGButton3 = CreateCommandButton(p, "PNGButton3", QRect(112, 40, 73, 58), QStringLiteral("Remove All"),
                                     "icon_remove_all.png");
    PNGButton2 = CreateCommandButton(p, "PNGButton2", QRect(0, 40, 58, 58), QStringLiteral("Add"), "icon_add.png");
    // The kind of book, in the banner's free area right of Home, level with the command buttons' icons and
    // captions.
    QStringList kinds;
    for (const BookFormat* format : AllBookFormats()) {
        kinds << format->Label();
    }
    LayoutSwitch = CreateBannerSwitch(p, "LayoutSwitch", QRect(330, 46, 160, 21), kinds);
    DirectionSwitch = CreateBannerSwitch(p, "DirectionSwitch", QRect(330, 72, 160, 21),
                                         {QStringLiteral("Read left to right"), QStringLiteral("Read right to left")});
}

void TForm1::CreateBottomBanner()
{
    QWidget* p = PanelBtm;
    Image3 = CreatePicture(p, "Image3", TAlign::alLeft, QRect(0, 0, 227, 45), "bottom_left.jpg", Fit::AutoSize);
    Image10 = CreatePicture(p, "Image10", TAlign::alRight, QRect(650, 0, 69, 45), "bottom_right.jpg", Fit::AutoSize);
    Image11 = CreatePicture(p, "Image11", TAlign::alClient, QRect(227, 0, 423, 45), "bottom_middle.jpg", Fit::Stretch);
}

void TForm1::CreateLeftPanel()
{
    QWidget* p = PanelLeft;
    Image8 = CreatePicture(p, "Image8", TAlign::alRight, QRect(150, 0, 21, 332), "edge_divider.jpg", Fit::Stretch);
    Image7 = CreatePicture(p, "Image7", TAlign::alLeft, QRect(0, 0, 8, 332), "edge_left.jpg", Fit::Stretch);
    PanelLeftBtm = CreatePanel(p, "PanelLeftBtm", TAlign::alClient, QRect(8, 0, 142, 332));
    PanelLeftBtm->SetRaisedBevel(true);

    p = PanelLeftBtm;
    Image1 = CreatePicture(p, "Image1", TAlign::alTop, QRect(1, 1, 140, 168), "preview_placeholder.jpg", Fit::Stretch);
    Image16 =
        CreatePicture(p, "Image16", TAlign::alTop, QRect(1, 169, 140, 10), "filler_under_preview.jpg", Fit::Stretch);
    Image5 = CreatePicture(p, "Image5", TAlign::alTop, QRect(1, 179, 140, 24), "heading_title.jpg", Fit::AutoSize);
    Image15 =
        CreatePicture(p, "Image15", TAlign::alClient, QRect(1, 203, 140, 53), "background_title.jpg", Fit::Stretch);
    Image12 =
        CreatePicture(p, "Image12", TAlign::alBottom, QRect(1, 256, 140, 24), "heading_author.jpg", Fit::AutoSize);
    Image14 =
        CreatePicture(p, "Image14", TAlign::alBottom, QRect(1, 280, 140, 51), "background_author.jpg", Fit::Stretch);
    Edit1 = Create<QLineEdit>(p, "Edit1", TAlign::alNone, QRect(8, 216, 121, 21));
    Edit2 = Create<QLineEdit>(p, "Edit2", TAlign::alNone, QRect(8, 288, 121, 21));
}

void TForm1::CreateClientPanel()
{
    QWidget* p = PanelClient;
    ListView1 = Create<PageListView>(p, "ListView1", TAlign::alClient, QRect(0, 0, 533, 184));
    ListView1->header()->setStretchLastSection(false);
    ListView1->setColumnWidth(0, 80);
    ListView1->setColumnWidth(1, 430);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(ListView1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Add1 = PopupMenu1->addAction(QStringLiteral("Add"));
    Add1->setObjectName(QStringLiteral("Add1"));
    AddFolder1 = PopupMenu1->addAction(QStringLiteral("Add Folder..."));
    AddFolder1->setObjectName(QStringLiteral("AddFolder1"));
    RemoveSelected1 = PopupMenu1->addAction(QStringLiteral("Remove Selected"));
    RemoveSelected1->setObjectName(QStringLiteral("RemoveSelected1"));
    RemoveAll1 = PopupMenu1->addAction(QStringLiteral("Remove All"));
    RemoveAll1->setObjectName(QStringLiteral("RemoveAll1"));
    SortByFileName1 = PopupMenu1->addAction(QStringLiteral("Sort by File Name"));
    SortByFileName1->setObjectName(QStringLiteral("SortByFileName1"));
    UseAsCover1 = PopupMenu1->addAction(QStringLiteral("Use as Cover"));
    UseAsCover1->setObjectName(QStringLiteral("UseAsCover1"));
    PopupMenu1->addSeparator();
    OpenList1 = PopupMenu1->addAction(QStringLiteral("Open List..."));
    OpenList1->setObjectName(QStringLiteral("OpenList1"));
    SaveList1 = PopupMenu1->addAction(QStringLiteral("Save List..."));
    SaveList1->setObjectName(QStringLiteral("SaveList1"));
    PopupMenu1->addSeparator();
    Undo1 = PopupMenu1->addAction(QStringLiteral("Undo"));
    Undo1->setObjectName(QStringLiteral("Undo1"));
    Redo1 = PopupMenu1->addAction(QStringLiteral("Redo"));
    Redo1->setObjectName(QStringLiteral("Redo1"));

    PaneClientBtm = CreatePanel(p, "PaneClientBtm", TAlign::alBottom, QRect(0, 184, 533, 148));
    PaneClientBtm->SetColor(palette().color(QPalette::Base));
    PanelImage = CreatePanel(p, "PanelImage", TAlign::alNone, QRect(217, 31, 160, 106));
    ImageM = CreatePicture(PanelImage, "ImageM", TAlign::alNone, QRect(16, 32, 121, 60), "window_buttons.bmp",
                           Fit::AutoSize);

    p = PaneClientBtm;
    Image13 =
        CreatePicture(p, "Image13", TAlign::alBottom, QRect(0, 8, 533, 140), "background_fields.jpg", Fit::Stretch);
    Image17 = CreatePicture(p, "Image17", TAlign::alBottom, QRect(0, -8, 533, 16), "separator.png", Fit::Stretch);
    Image18 = CreatePicture(p, "Image18", TAlign::alNone, QRect(144, 0, 16, 16), "icon_hint.png", Fit::AutoSize);
    Label2 = Create<QLabel>(p, "Label2", TAlign::alNone, QRect(169, 0, 194, 14));
    Label2->setFont(ArialFont());
    Label2->setText(QStringLiteral("Drag items to  adjust the order of jpg list."));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A label takes the size of its text, so none of it is cut off.
    Label2->adjustSize();
    QPalette labelPalette = Label2->palette();
    labelPalette.setColor(QPalette::WindowText, Qt::black);
    Label2->setPalette(labelPalette);
    LabeledEdit3 = CreateLabeledEdit(p, "LabeledEdit3", QRect(109, 36, 340, 21), QStringLiteral("Cover Image:  "));
    // The book's language, series and number share the row between the cover and the output folder, their labels
    // aligned as the fields' around them.
    ComboBox1 = Create<LanguageBox>(p, "ComboBox1", TAlign::alNone, QRect(109, 68, 150, 21));
    Label3 = Create<QLabel>(p, "Label3", TAlign::alNone, QRect());
    Label3->setText(QStringLiteral("Language:  "));
    Label3->adjustSize();
    Label3->setGeometry(LabelRectLeftOf(ComboBox1->geometry(), Label3->size(), LabeledEdit::kLabelSpacing));
    Label3->setBuddy(ComboBox1);
    LabeledEdit5 = CreateLabeledEdit(p, "LabeledEdit5", QRect(310, 68, 80, 21), QStringLiteral("Series:  "));
    LabeledEdit6 = CreateLabeledEdit(p, "LabeledEdit6", QRect(424, 68, 32, 21), QStringLiteral("No.:  "));
    // Digits, and a point before a fraction: nothing else is a number in a series.
    LabeledEdit6->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,9}(\\.[0-9]{0,9})?")), LabeledEdit6));
    LabeledEdit4 = CreateLabeledEdit(p, "LabeledEdit4", QRect(112, 100, 337, 21), QStringLiteral("Save  Epub  To:  "));
    PNGButton8 = CreateCommandButton(p, "PNGButton8", QRect(469, 16, 57, 57), QString(), "icon_cover.png");
    PNGButton9 = CreateCommandButton(p, "PNGButton9", QRect(469, 80, 57, 57), QString(), "icon_folder.png");
}
