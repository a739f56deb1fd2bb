#include "preview.h"

#include "style.h"

#include <QDir>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kWindowWidth = 719;
constexpr int kWindowHeight = 512;
constexpr int kMargin = 20;
constexpr int kZoom = 3;
constexpr int kIconZoom = 2;
const QColor kDesktop(0x6B, 0x74, 0x80);
const QColor kCaptionYellow(0xFF, 0xFF, 0x00);
const QColor kButtonLight(0xFF, 0xFF, 0xFF);
const QColor kButtonShadow(0xA0, 0xA0, 0xA0);

enum class ButtonBand { Normal = 0, Hover = 1, Pressed = 2 };

class ArtFolder {
public:
    explicit ArtFolder(const QString& folder) : folder_(folder) {}

    const QImage& operator[](const QString& fileName)
    {
        auto found = pictures_.find(fileName);
        if (found == pictures_.end()) {
            QImage image(folder_.filePath(fileName));
            if (image.isNull()) {
                throw std::runtime_error("cannot read " + folder_.filePath(fileName).toStdString());
            }
            found = pictures_.insert(fileName, image);
        }
        return *found;
    }

private:
    QDir folder_;
    QHash<QString, QImage> pictures_;
};

void Stretched(QPainter& painter, const QImage& picture, const QRect& target)
{
    painter.drawImage(target, picture);
}

void Unscaled(QPainter& painter, const QImage& picture, const QRect& target)
{
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.drawImage(target.topLeft(), picture);
    painter.restore();
}

// A command button with its image above its caption, placed the way the window's buttons
// place them: image and caption centred together, 4 pixels apart.
void CommandButton(QPainter& painter, const QRect& button, const QImage& icon, const QString& caption,
                   const QFont& font, const QColor& colour)
{
    painter.setFont(font);
    const int textWidth = caption.isEmpty() ? 0 : painter.fontMetrics().horizontalAdvance(caption);
    const int textHeight = caption.isEmpty() ? 0 : painter.fontMetrics().height();
    const int imageHeight = icon.height() + (caption.isEmpty() ? 0 : 4);
    const int imageX = (button.width() - icon.width()) / 2;
    const int imageY = (button.height() - imageHeight - textHeight) / 2;
    painter.drawImage(button.topLeft() + QPoint(imageX, imageY), icon);
    painter.setPen(colour);
    painter.drawText(QRect(button.left() + (button.width() - textWidth) / 2, button.top() + imageY + imageHeight,
                           textWidth, textHeight),
                     Qt::AlignLeft | Qt::AlignTop, caption);
}

void Edit(QPainter& painter, const QRect& box, const QString& text)
{
    painter.setPen(QColor(0x8A, 0x96, 0xA6));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setFont(ArtFont(kSansFamily, 11, QFont::Normal));
    painter.setPen(Qt::black);
    painter.drawText(box.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
}

void LabeledEdit(QPainter& painter, const QRect& box, const QString& label, const QString& text)
{
    painter.setFont(ArtFont(kSansFamily, 11, QFont::Normal));
    const int labelWidth = painter.fontMetrics().horizontalAdvance(label);
    painter.setPen(Qt::black);
    painter.drawText(QRect(box.left() - 3 - labelWidth, box.top(), labelWidth, box.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, label);
    Edit(painter, box, text);
}

void PageList(QPainter& painter, const QRect& list)
{
    painter.fillRect(list, Qt::white);
    painter.setFont(ArtFont(kSansFamily, 11, QFont::Normal));
    const QRect header(list.left(), list.top(), list.width(), 20);
    painter.fillRect(header, QColor(0xF2, 0xF2, 0xF2));
    painter.setPen(QColor(0xD0, 0xD0, 0xD0));
    painter.drawLine(header.bottomLeft(), header.bottomRight());
    painter.drawLine(list.left() + 80, header.top(), list.left() + 80, header.bottom());
    painter.setPen(Qt::black);
    painter.drawText(header.adjusted(6, 0, 0, 0), Qt::AlignVCenter, QStringLiteral("Page"));
    painter.drawText(header.adjusted(86, 0, 0, 0), Qt::AlignVCenter, QStringLiteral("Path"));
    for (int row = 0; row < 4; ++row) {
        const QRect line(list.left() + 1, header.bottom() + 2 + row * 18, list.width() - 2, 18);
        if (row == 1) {
            painter.fillRect(line, QColor(0x33, 0x99, 0xFF));
        }
        painter.setPen(row == 1 ? Qt::white : Qt::black);
        painter.drawText(line.adjusted(6, 0, 0, 0), Qt::AlignVCenter, QString::number(row + 1));
        painter.drawText(line.adjusted(86, 0, 0, 0), Qt::AlignVCenter,
                         QStringLiteral("/home/ann/Pictures/harbour/IMG_%1.jpg").arg(4120 + row));
    }
    painter.setPen(QColor(0x82, 0x87, 0x90));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(list.adjusted(0, 0, -1, -1));
}

void TopPanel(QPainter& painter, ArtFolder& art, ButtonBand band)
{
    Stretched(painter, art[QStringLiteral("banner_middle.jpg")], QRect(333, 0, 206, 135));
    Unscaled(painter, art[QStringLiteral("banner_left.jpg")], QRect(0, 0, 333, 135));
    Unscaled(painter, art[QStringLiteral("banner_right.jpg")], QRect(539, 0, 180, 135));

    const QImage& sprite = art[QStringLiteral("window_buttons.bmp")];
    const int top = int(band) * 20;
    Unscaled(painter, sprite.copy(0, top, 40, 20), QRect(649, 8, 25, 31));
    Unscaled(painter, sprite.copy(68, top, 24, 20), QRect(673, 8, 25, 31));

    const QFont arial = ArtFont(kSansFamily, 11, QFont::Normal);
    const QFont arialBlack = ArtFont(kSansFamily, 11, QFont::Bold);
    CommandButton(painter, QRect(0, 40, 58, 58), art[QStringLiteral("icon_add.png")], QStringLiteral("Add"), arial,
                  Qt::white);
    CommandButton(painter, QRect(56, 40, 58, 58), art[QStringLiteral("icon_remove.png")], QStringLiteral("Remove"),
                  arial, Qt::white);
    CommandButton(painter, QRect(112, 40, 73, 58), art[QStringLiteral("icon_remove_all.png")],
                  QStringLiteral("Remove All"), arial, Qt::white);
    CommandButton(painter, QRect(184, 40, 58, 58), art[QStringLiteral("icon_convert.png")], QStringLiteral("Convert"),
                  arialBlack, kCaptionYellow);
    CommandButton(painter, QRect(256, 40, 58, 58), art[QStringLiteral("icon_home.png")], QStringLiteral("Home"), arial,
                  Qt::white);
}

void LeftPanel(QPainter& painter, ArtFolder& art)
{
    painter.save();
    painter.translate(0, 135);
    Stretched(painter, art[QStringLiteral("edge_left.jpg")], QRect(0, 0, 8, 332));
    Stretched(painter, art[QStringLiteral("edge_divider.jpg")], QRect(150, 0, 21, 332));

    // The panel that holds the preview and the fields, with its raised bevel of one pixel.
    const QRect panel(8, 0, 142, 332);
    painter.setPen(kButtonLight);
    painter.drawLine(panel.topLeft(), panel.topRight());
    painter.drawLine(panel.topLeft(), panel.bottomLeft());
    painter.setPen(kButtonShadow);
    painter.drawLine(panel.bottomLeft(), panel.bottomRight());
    painter.drawLine(panel.topRight(), panel.bottomRight());

    painter.translate(panel.topLeft());
    Stretched(painter, art[QStringLiteral("preview_placeholder.jpg")], QRect(1, 1, 140, 168));
    Stretched(painter, art[QStringLiteral("filler_under_preview.jpg")], QRect(1, 169, 140, 10));
    Unscaled(painter, art[QStringLiteral("heading_title.jpg")], QRect(1, 179, 140, 24));
    Stretched(painter, art[QStringLiteral("background_title.jpg")], QRect(1, 203, 140, 53));
    Unscaled(painter, art[QStringLiteral("heading_author.jpg")], QRect(1, 256, 140, 24));
    Stretched(painter, art[QStringLiteral("background_author.jpg")], QRect(1, 280, 140, 51));
    Edit(painter, QRect(8, 216, 121, 21), QStringLiteral("Harbour Days"));
    Edit(painter, QRect(8, 288, 121, 21), QStringLiteral("Ann Weaver"));
    painter.restore();
}

void ClientPanel(QPainter& painter, ArtFolder& art)
{
    painter.save();
    painter.translate(171, 135);
    painter.fillRect(QRect(0, 0, 533, 332), Qt::white);
    PageList(painter, QRect(0, 0, 533, 184));

    painter.translate(0, 184);
    painter.setClipRect(QRect(0, 0, 533, 148));
    painter.fillRect(QRect(0, 0, 533, 148), Qt::white);
    Stretched(painter, art[QStringLiteral("background_fields.jpg")], QRect(0, 8, 533, 140));
    Stretched(painter, art[QStringLiteral("separator.png")], QRect(0, -8, 533, 16));
    Unscaled(painter, art[QStringLiteral("icon_hint.png")], QRect(144, 0, 16, 16));
    painter.setFont(ArtFont(kSansFamily, 11, QFont::Normal));
    painter.setPen(Qt::black);
    painter.drawText(QRect(169, 0, 220, 14), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("Drag items to  adjust the order of jpg list."));
    LabeledEdit(painter, QRect(109, 36, 340, 21), QStringLiteral("Cover Image:  "),
                QStringLiteral("/home/ann/Pictures/harbour/cover.jpg"));
    LabeledEdit(painter, QRect(112, 100, 337, 21), QStringLiteral("Save  Epub  To:  "),
                QStringLiteral("/home/ann/Books"));
    const QFont arial = ArtFont(kSansFamily, 11, QFont::Normal);
    CommandButton(painter, QRect(469, 16, 57, 57), art[QStringLiteral("icon_cover.png")], QString(), arial, Qt::white);
    CommandButton(painter, QRect(469, 80, 57, 57), art[QStringLiteral("icon_folder.png")], QString(), arial, Qt::white);
    painter.restore();
}

void BottomPanel(QPainter& painter, ArtFolder& art)
{
    Stretched(painter, art[QStringLiteral("edge_right.jpg")], QRect(704, 135, 15, 332));
    Unscaled(painter, art[QStringLiteral("bottom_left.jpg")], QRect(0, 467, 227, 45));
    Unscaled(painter, art[QStringLiteral("bottom_right.jpg")], QRect(650, 467, 69, 45));
    Stretched(painter, art[QStringLiteral("bottom_middle.jpg")], QRect(227, 467, 423, 45));
}

QImage Window(ArtFolder& art, ButtonBand band)
{
    QImage window(kWindowWidth, kWindowHeight, QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::transparent);
    QPainter painter(&window);
    painter.setRenderHints(QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    // The window's shape: a rectangle with corners rounded by ellipses of 10 x 10.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 0, kWindowWidth + 1, kWindowHeight + 1), 5, 5);
    painter.setClipPath(shape);
    painter.fillRect(window.rect(), QColor(0xF0, 0xF0, 0xF0));
    TopPanel(painter, art, band);
    LeftPanel(painter, art);
    ClientPanel(painter, art);
    BottomPanel(painter, art);
    return window;
}

void Enlarged(QPainter& painter, const QImage& picture, const QPoint& at, int zoom)
{
    painter.drawImage(QRect(at, picture.size() * zoom), picture);
}

}  // namespace

void WritePreview(const QString& artFolder, const QString& outputPath)
{
    ArtFolder art(artFolder);
    const QString icons[] = {
        QStringLiteral("icon_add.png"),     QStringLiteral("icon_remove.png"), QStringLiteral("icon_remove_all.png"),
        QStringLiteral("icon_convert.png"), QStringLiteral("icon_home.png"),   QStringLiteral("icon_cover.png"),
        QStringLiteral("icon_folder.png"),  QStringLiteral("icon_hint.png"),   QStringLiteral("app_icon_16.png"),
        QStringLiteral("app_icon_32.png"),  QStringLiteral("app_icon_48.png")};
    constexpr int kIconGap = 12;
    int iconsWidth = kIconGap;
    int iconsHeight = 0;
    for (const QString& icon : icons) {
        iconsWidth += art[icon].width() * kIconZoom + kIconGap;
        iconsHeight = std::max(iconsHeight, art[icon].height() * kIconZoom + 2 * kIconGap);
    }
    const QRect corner(639, 0, 80, 40);
    const int statesWidth = 3 * corner.width() * kZoom + 2 * kMargin;
    const int statesTop = kMargin * 2 + kWindowHeight;
    const int iconsTop = statesTop + corner.height() * kZoom + kMargin;
    const int contentWidth = std::max({kWindowWidth, statesWidth, iconsWidth});

    QImage canvas(contentWidth + 2 * kMargin, iconsTop + 2 * (iconsHeight + kMargin), QImage::Format_RGB32);
    canvas.fill(kDesktop);
    QPainter painter(&canvas);
    painter.drawImage(kMargin, kMargin, Window(art, ButtonBand::Normal));

    // The window's top right corner with its buttons normal, hovered and pressed.
    const ButtonBand bands[] = {ButtonBand::Normal, ButtonBand::Hover, ButtonBand::Pressed};
    for (int index = 0; index < 3; ++index) {
        const QImage window = Window(art, bands[index]);
        Enlarged(painter, window.copy(corner), QPoint(kMargin + index * (corner.width() * kZoom + kMargin), statesTop),
                 kZoom);
    }

    // Every icon enlarged, on the banner's colour and on the fields' colour.
    const QColor backgrounds[] = {BannerColour(60), kFields};
    for (int row = 0; row < 2; ++row) {
        const int top = iconsTop + row * (iconsHeight + kMargin);
        painter.fillRect(QRect(kMargin, top, iconsWidth, iconsHeight), backgrounds[row]);
        int left = kMargin + kIconGap;
        for (const QString& icon : icons) {
            Enlarged(painter, art[icon], QPoint(left, top + kIconGap), kIconZoom);
            left += art[icon].width() * kIconZoom + kIconGap;
        }
    }
    painter.end();
    if (!canvas.save(outputPath, "png")) {
        throw std::runtime_error("cannot write " + outputPath.toStdString());
    }
}
