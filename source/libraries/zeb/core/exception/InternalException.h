#pragma once

#include "zeb/core/exception/LogicalException.h"

namespace ZEB {

// A failed assertion. The text names where it failed: "file(line): message".
class InternalException : public LogicalException {
public:
    InternalException(const std::string& file, int line, const std::string& message);
    ~InternalException() override;

    const std::string& file() const { return sFile_; }
    int line() const { return iLine_; }
    const std::string& message() const { return sDetail_; }

private:
    std::string sFile_;
    int iLine_;
    std::string sDetail_;
};

} // namespace ZEB
