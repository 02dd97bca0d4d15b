#pragma once

#include "zeb/core/exception/ExceptionBase.h"

namespace ZEB {

// A system, driver or run-time library call that failed. Not a logical error:
// the program was right to ask, the platform said no.
class RuntimeException : public ExceptionBase {
public:
    explicit RuntimeException(std::string message);
    ~RuntimeException() override;
};

} // namespace ZEB
