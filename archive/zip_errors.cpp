#include "archive/zip_errors.h"

#include <cstring>

ZipError::ZipError(const QString& text) : std::runtime_error(text.toStdString())
{
}

ENotEnoughRoom::ENotEnoughRoom() : ZipError(kNotEnoughRoomText)
{
}

EZCompressionError::EZCompressionError() : ZipError(kCompressionErrorText)
{
}

EUserCanceled::EUserCanceled() : ZipError(kUserCanceledText)
{
}

EFCreateError::EFCreateError(const QString& path, int errorNumber)
    : ZipError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, QString::fromLocal8Bit(std::strerror(errorNumber))))
{
}
