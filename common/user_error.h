#pragma once

#include <QString>

#include <stdexcept>

// An error that ends a command and carries the text the person sees; what() holds it in UTF-8.
// Every error that a person may meet derives from it. Any other exception is a fault of the
// program itself, which is never shown as a message.
class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& text) : std::runtime_error(text.toStdString()) {}

    QString Text() const { return QString::fromUtf8(what()); }
};
