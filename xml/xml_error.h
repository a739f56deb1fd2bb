#pragma once

#include <QString>

#include <stdexcept>

// The error every operation of the XML writer raises; what() holds the message in UTF-8.
class XmlError : public std::runtime_error {
public:
    explicit XmlError(const QString& message) : std::runtime_error(message.toStdString()) {}

    QString Message() const { return QString::fromUtf8(what()); }
};
