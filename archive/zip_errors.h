#pragma once

#include "common/user_error.h"

#include <QString>

// The texts the archive writer reports; the window shows them as they stand.
inline constexpr char kNotEnoughRoomText[] = "Not enough room to write archive";
inline constexpr char kSeekErrorText[] = "\nSeek error";
inline constexpr char kCompressionErrorText[] = "error";
inline constexpr char kNotValidZipText[] = "Not a valid zip file!";
inline constexpr char kFileExistsText[] = "The file is existing.";
inline constexpr char kUnsafeNameText[] = "A name that could leave the archive's folders cannot be stored:";

// Every failure of the archive writer: an error that carries the text to show.
class ZipError : public UserError {
public:
    using UserError::UserError;
};

// A write to the archive stored fewer bytes than asked: the disk is full, or the file may grow no further. The
// text names the folder of the archive once the writer knows it: "Not enough room to write archive in /a/b".
class ENotEnoughRoom : public ZipError {
public:
    explicit ENotEnoughRoom(const QString& folder = {});
};

// A write, flush or close of the archive failed for another reason, such as a read-only or failing disk:
// "Cannot write archive. <the system's reason>".
class EWriteError : public ZipError {
public:
    explicit EWriteError(int errorNumber);
};

// Raises what a failed write, flush or close of the archive means: ENotEnoughRoom when the disk is full or the
// file may grow no further (the system's ENOSPC, EDQUOT, EFBIG), else EWriteError with the system's reason.
[[noreturn]] void ThrowWriteError(int errorNumber);

// A file or folder that the archive must hold could not be listed, examined, opened or read:
// "Cannot <action> "<path>". <reason>", such as `Cannot open file "/a/b.txt". Too many open files`.
class EFReadError : public ZipError {
public:
    EFReadError(const QString& action, const QString& path, const QString& reason);
    EFReadError(const QString& action, const QString& path, int errorNumber);
};

// The compression engine returned a negative result code.
class EZCompressionError : public ZipError {
public:
    EZCompressionError();
};

// The archive file, or the temporary file of a merge, could not be created or opened.
class EFCreateError : public ZipError {
public:
    EFCreateError(const QString& path, int errorNumber);
};
