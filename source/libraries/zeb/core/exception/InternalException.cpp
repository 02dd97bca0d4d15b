#include "zeb/core/exception/InternalException.h"

namespace ZEB {

namespace {
std::string Located(const std::string& file, int line, const std::string& message)
{
    return file + "(" + std::to_string(line) + "): " + message;
}
} // namespace

InternalException::InternalException(const std::string& file, int line, const std::string& message)
    : LogicalException(Located(file, line, message)), sFile_(file), iLine_(line), sDetail_(message)
{
}

InternalException::~InternalException() = default;

} // namespace ZEB
