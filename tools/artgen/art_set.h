#pragma once

#include <QImage>
#include <QString>

#include <vector>

// How a picture is stored: its file kind and its depth.
enum class ArtKind {
    Jpeg,      // baseline JFIF, YCbCr
    Png,       // 8 bits per channel
    Png16,     // 16 bits per channel
    Bitmap24,  // Windows bitmap, 24 bits per pixel
};

struct ArtPicture {
    QString fileName;
    ArtKind kind;
    QImage image;
    // Whether the program carries it (art.qrc lists it); the other pictures are installed for the
    // desktop only.
    bool inProgram = true;
};

// Every picture of the window, drawn afresh, with the file name it is kept under.
std::vector<ArtPicture> DrawAllArt();
