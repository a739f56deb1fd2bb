#include "output.h"

#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

#include <stdexcept>

namespace {

// High enough that the banner's joins and the small type stay clean; the pictures are small,
// so the files stay small too.
constexpr int kJpegQuality = 92;

// For PNG, Qt turns quality 0 into zlib's strongest compression; the pictures stay lossless.
constexpr int kPngStrongestCompression = 0;

void Fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

void WritePicture(const ArtPicture& picture, const QDir& folder)
{
    const QString path = folder.filePath(picture.fileName);
    QImageWriter writer(path);
    QImage stored;
    switch (picture.kind) {
    case ArtKind::Jpeg:
        // Qt's writer makes a baseline JFIF file in YCbCr from an RGB picture.
        writer.setFormat("jpeg");
        writer.setQuality(kJpegQuality);
        stored = picture.image.convertToFormat(QImage::Format_RGB32);
        break;
    case ArtKind::Png:
        writer.setFormat("png");
        writer.setQuality(kPngStrongestCompression);
        stored = picture.image;
        break;
    case ArtKind::Png16:
        // A 64-bit picture is written as a PNG of 16 bits per channel.
        writer.setFormat("png");
        writer.setQuality(kPngStrongestCompression);
        stored = picture.image.convertToFormat(QImage::Format_RGBA64);
        break;
    case ArtKind::Bitmap24:
        writer.setFormat("bmp");
        stored = picture.image.convertToFormat(QImage::Format_RGB888);
        break;
    }
    if (!writer.write(stored)) {
        Fail(QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
    }
}

void WriteResourceList(const std::vector<ArtPicture>& pictures, const QDir& folder)
{
    QByteArray text = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n    <qresource prefix=\"/art\">\n";
    for (const ArtPicture& picture : pictures) {
        if (!picture.inProgram) {
            continue;
        }
        const QByteArray name = picture.fileName.toUtf8();
        text += "        <file alias=\"" + name + "\">" + name + "</file>\n";
    }
    text += "    </qresource>\n</RCC>\n";

    QSaveFile file(folder.filePath(QStringLiteral("art.qrc")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        Fail(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
    }
}

}  // namespace

void WriteArt(const std::vector<ArtPicture>& pictures, const QString& folder)
{
    const QDir target(folder);
    if (!target.mkpath(QStringLiteral("."))) {
        Fail(QStringLiteral("cannot create the folder %1").arg(folder));
    }
    for (const ArtPicture& picture : pictures) {
        WritePicture(picture, target);
    }
    WriteResourceList(pictures, target);
}
