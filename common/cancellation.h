#pragma once

#include <exception>

// The person asked the work to stop. It is raised where the request is noticed and caught where
// the command it ends is left behind; nothing is shown for it, since the person knows.
class EUserCanceled : public std::exception {
public:
    const char* what() const noexcept override { return "User Aborted Operation"; }
};
