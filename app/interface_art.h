#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

#include <stdexcept>

// Raised when a picture of the interface art is missing or cannot be decoded.
class InterfaceArtError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A picture of the interface art that the program carries, by its file name ("banner_left.jpg").
// JPEG pictures go through the program's own JPEG decoder, PNG and BMP pictures through Qt.
QImage LoadArt(const QString& name);

// The application icon in its three sizes, 16, 32 and 48 pixels.
QIcon ApplicationIcon();
