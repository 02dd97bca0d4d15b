#include "zeb/ocl/Platform.h"

#include "zeb/ocl/Error.h"
#include "zeb/ocl/ExtensionManager.h"

#include <CL/cl_ext.h>

namespace ZEB {
namespace OCL {

std::string Platform::version() const
{
    const cl_icd_dispatch& cl = ExtensionManager::requiredTable();
    size_t size = 0;
    Error::check(cl.clGetPlatformInfo(hPlatform_, CL_PLATFORM_VERSION, 0, nullptr, &size), "clGetPlatformInfo");
    std::string text(size, '\0');
    Error::check(cl.clGetPlatformInfo(hPlatform_, CL_PLATFORM_VERSION, size, &text[0], nullptr), "clGetPlatformInfo");
    text.resize(text.find('\0')); // the runtime counts the terminating zero
    return text;
}

std::vector<Device> Platform::devices(Device::Type type) const
{
    const cl_icd_dispatch& cl = ExtensionManager::requiredTable();
    cl_uint count = 0;
    const cl_int found = cl.clGetDeviceIDs(hPlatform_, type, 0, nullptr, &count);
    if (found == CL_DEVICE_NOT_FOUND) {
        return std::vector<Device>();
    }
    Error::check(found, "clGetDeviceIDs");
    std::vector<cl_device_id> handles(count);
    Error::check(cl.clGetDeviceIDs(hPlatform_, type, count, handles.data(), &count), "clGetDeviceIDs");
    handles.resize(count);
    return std::vector<Device>(handles.begin(), handles.end());
}

std::vector<Platform> platforms()
{
    const cl_icd_dispatch& cl = ExtensionManager::requiredTable();
    cl_uint count = 0;
    const cl_int found = cl.clGetPlatformIDs(0, nullptr, &count);
    // A loader without a single driver behind it says so with this code.
    if (found == CL_PLATFORM_NOT_FOUND_KHR) {
        return std::vector<Platform>();
    }
    Error::check(found, "clGetPlatformIDs");
    if (count == 0) {
        return std::vector<Platform>();
    }
    std::vector<cl_platform_id> handles(count);
    Error::check(cl.clGetPlatformIDs(count, handles.data(), &count), "clGetPlatformIDs");
    handles.resize(count);
    return std::vector<Platform>(handles.begin(), handles.end());
}

} // namespace OCL
} // namespace ZEB
