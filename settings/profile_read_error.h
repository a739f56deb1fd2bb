#pragma once

#include "common/user_error.h"

// A setting of the settings file cannot be used as it stands.
class ProfileReadError : public UserError {
public:
    using UserError::UserError;
};
