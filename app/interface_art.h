#pragma once

#include "common/user_error.h"

#include <QIcon>
#include <QImage>
#include <QString>

// Raised when a picture of the interface art is missing or cannot be decoded.
class InterfaceArtError : public UserError {
public:
    using UserError::UserError;
};

// A picture of the interface art that the program carries, by its file name ("banner_left.jpg").
// JPEG pictures go through the program's own JPEG decoder, PNG and BMP pictures through Qt.
QImage LoadArt(const QString& name);

// The application icon in its three sizes, 16, 32 and 48 pixels.
QIcon ApplicationIcon();
