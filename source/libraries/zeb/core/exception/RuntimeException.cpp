#include "zeb/core/exception/RuntimeException.h"

#include <utility>

namespace ZEB {

RuntimeException::RuntimeException(std::string message) : ExceptionBase(std::move(message)) {}

RuntimeException::~RuntimeException() = default;

} // namespace ZEB
