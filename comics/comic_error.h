#pragma once

#include "comics/comic_member.h"
#include "common/user_error.h"

#include <QString>

// A comic archive or PDF that cannot be read, or a file inside it that cannot. The text names the container by its
// path and, where one file inside it is to blame, that file by its path there, then gives the reason:
// "/home/ann/Vol 1.cbz › ../../notes.jpg (its name leads out of the archive's folders)".
class ComicError : public UserError {
public:
    ComicError(const QString& containerPath, const QString& memberPath, const QString& reason)
        : UserError(ComicMemberFullName(containerPath, memberPath) + QStringLiteral(" (") + reason + u')'),
          containerPath_(containerPath),
          memberPath_(memberPath),
          reason_(reason)
    {}

    const QString& ContainerPath() const { return containerPath_; }
    // Empty when the container as a whole is to blame.
    const QString& MemberPath() const { return memberPath_; }
    const QString& Reason() const { return reason_; }

private:
    QString containerPath_;
    QString memberPath_;
    QString reason_;
};

// The reasons the readers give in their own words; others carry a library's message or a picture's reason.
namespace comic_reason {
inline constexpr const char* kNotAContainer = "not a comic archive or PDF";
inline constexpr const char* kPassword = "protected by a password";
inline constexpr const char* kChanged = "the file has changed since it was read";
}  // namespace comic_reason
