#include "zeb/core/exception/ExceptionBase.h"

#include <ostream>
#include <utility>

namespace ZEB {

ExceptionBase::ExceptionBase(std::string message) : sMessage_(std::move(message)) {}

ExceptionBase::~ExceptionBase() = default;

const char* ExceptionBase::what() const noexcept { return sMessage_.c_str(); }

void ExceptionBase::print(std::ostream& stream) const { stream << what(); }

std::ostream& operator<<(std::ostream& stream, const ExceptionBase& exception)
{
    exception.print(stream);
    return stream;
}

} // namespace ZEB
