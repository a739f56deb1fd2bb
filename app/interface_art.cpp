#include "app/interface_art.h"

#include "pictures/jpeg_decoder.h"
#include "preview/preview_picture.h"

#include <QFile>

// The art is built into this library as a resource; a static library's resources must be
// registered by hand, once, before the first picture is read.
static void RegisterArtResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(art);
        return true;
    }();
    Q_UNUSED(registered);
}

QImage LoadArt(const QString& name)
{
    RegisterArtResources();
    const QString path = QStringLiteral(":/art/") + name;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw InterfaceArtError(QStringLiteral("Missing interface art: ") + name);
    }
    const QByteArray bytes = file.readAll();
    if (name.endsWith(QStringLiteral(".jpg"))) {
        return PreviewImage(DecodeJpeg(bytes));
    }
    QImage picture;
    if (!picture.loadFromData(bytes)) {
        throw InterfaceArtError(QStringLiteral("Unreadable interface art: ") + name);
    }
    return picture;
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const char* name : {"app_icon_16.png", "app_icon_32.png", "app_icon_48.png"}) {
        icon.addPixmap(QPixmap::fromImage(LoadArt(QString::fromLatin1(name))));
    }
    return icon;
}
