#include "archive/zip_errors.h"

#include <cstring>

ENotEnoughRoom::ENotEnoughRoom() : ZipError(kNotEnoughRoomText) {}

EZCompressionError::EZCompressionError() : ZipError(kCompressionErrorText) {}

EFCreateError::EFCreateError(const QString& path, int errorNumber)
    : ZipError(
        QStringLiteral("Cannot create file \"%1\". %2").arg(path, QString::fromLocal8Bit(std::strerror(errorNumber))))
{}
