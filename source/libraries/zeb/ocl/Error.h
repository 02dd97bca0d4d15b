#pragma once

#include <CL/cl.h>

namespace ZEB {
namespace OCL {

// Turns a failed OpenCL call into an exception.
class Error {
public:
    // Throws ZEB::RuntimeException "<call> failed: <code>" when code is not CL_SUCCESS.
    static void check(cl_int code, const char* call);

private:
    Error() = delete;
};

} // namespace OCL
} // namespace ZEB
