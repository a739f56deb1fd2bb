#pragma once

#include <QString>

#include <stdexcept>

// A failure that ends a conversion without a book; what() holds the text for the person, in UTF-8.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
