#pragma once

#include "common/user_error.h"

// The settings file could not be written.
class ProfileWriteError : public UserError {
public:
    using UserError::UserError;
};
