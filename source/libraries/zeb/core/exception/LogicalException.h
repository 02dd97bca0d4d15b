#pragma once

#include "zeb/core/exception/ExceptionBase.h"

namespace ZEB {

// A broken assumption inside the program (as opposed to a failing system call).
class LogicalException : public ExceptionBase {
public:
    explicit LogicalException(std::string message);
    ~LogicalException() override;
};

} // namespace ZEB
