#include "zeb/ocl/Error.h"

#include "zeb/core/exception/RuntimeException.h"

#include <string>

namespace ZEB {
namespace OCL {

void Error::check(cl_int code, const char* call)
{
    if (code != CL_SUCCESS) {
        throw RuntimeException(std::string(call) + " failed: " + std::to_string(code));
    }
}

} // namespace OCL
} // namespace ZEB
