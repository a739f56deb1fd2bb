#pragma once

#include "common/user_error.h"

// A picture that cannot go into a book, or cannot be shown: the text is a short reason a person
// understands ("not a picture", "the picture is cut short", or the decoder's own message). The text does
// not name the file; whoever reports the error does.
class PictureError : public UserError {
public:
    // `ofOutput` tells an error of the file a picture was being written to (a full disk) from an error of
    // the picture: the first stops a conversion whatever picture comes next, the second only names one.
    explicit PictureError(const QString& reason, bool ofOutput = false) : UserError(reason), ofOutput_(ofOutput) {}

    bool OfOutput() const noexcept { return ofOutput_; }

private:
    bool ofOutput_ = false;
};

// The reasons the library gives itself; other reasons are the decoders' own messages.
namespace picture_reason {
inline constexpr const char* kEmptyFile = "the file is empty";
inline constexpr const char* kNotAPicture = "not a picture";
inline constexpr const char* kCutShort = "the picture is cut short";
inline constexpr const char* kDamaged = "the picture is damaged";
inline constexpr const char* kTooLarge = "the picture is too large";
}  // namespace picture_reason
