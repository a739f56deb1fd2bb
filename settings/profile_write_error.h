#pragma once

#include <stdexcept>

// The settings file could not be written.
class ProfileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
