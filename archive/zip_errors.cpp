#include "archive/zip_errors.h"

#include <cerrno>
#include <cstring>

namespace {

QString SystemReason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

}  // namespace

ENotEnoughRoom::ENotEnoughRoom(const QString& folder)
    : ZipError(folder.isEmpty() ? QString::fromLatin1(kNotEnoughRoomText)
                                : QStringLiteral("%1 in %2").arg(QLatin1String(kNotEnoughRoomText), folder))
{}

EWriteError::EWriteError(int errorNumber)
    : ZipError(QStringLiteral("Cannot write archive. ") + SystemReason(errorNumber))
{}

void ThrowWriteError(int errorNumber)
{
    if (errorNumber == ENOSPC || errorNumber == EDQUOT || errorNumber == EFBIG) {
        throw ENotEnoughRoom();
    }
    throw EWriteError(errorNumber);
}

EFReadError::EFReadError(const QString& action, const QString& path, const QString& reason)
    : ZipError(QStringLiteral("Cannot %1 \"%2\". %3").arg(action, path, reason))
{}

EFReadError::EFReadError(const QString& action, const QString& path, int errorNumber)
    : EFReadError(action, path, SystemReason(errorNumber))
{}

EZCompressionError::EZCompressionError() : ZipError(kCompressionErrorText) {}

EFCreateError::EFCreateError(const QString& path, int errorNumber)
    : ZipError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, SystemReason(errorNumber)))
{}
