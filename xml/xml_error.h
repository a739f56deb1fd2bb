#pragma once

#include "common/user_error.h"

// The error every operation of the XML writer raises.
class XmlError : public UserError {
public:
    using UserError::UserError;
};
