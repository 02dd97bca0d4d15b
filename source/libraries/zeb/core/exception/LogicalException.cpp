#include "zeb/core/exception/LogicalException.h"

#include <utility>

namespace ZEB {

LogicalException::LogicalException(std::string message) : ExceptionBase(std::move(message)) {}

LogicalException::~LogicalException() = default;

} // namespace ZEB
