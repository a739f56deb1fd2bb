#pragma once

#include "common/user_error.h"

// A failure that ends a conversion without a book.
class ConversionError : public UserError {
public:
    using UserError::UserError;
};
