#pragma once

#include <stdexcept>

// The GL reported an error after a query. Its text is the one the report and
// its readers know; the type lets a caller tell a rejected query from other
// failures.
class GLErrorException : public std::runtime_error {
public:
    GLErrorException() : std::runtime_error("glGetError() == 0") {}
};
