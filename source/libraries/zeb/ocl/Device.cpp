#include "zeb/ocl/Device.h"

#include "zeb/ocl/Error.h"
#include "zeb/ocl/ExtensionManager.h"

namespace ZEB {
namespace OCL {

std::string Device::name() const
{
    const cl_icd_dispatch& cl = ExtensionManager::requiredTable();
    size_t size = 0;
    Error::check(cl.clGetDeviceInfo(hDevice_, CL_DEVICE_NAME, 0, nullptr, &size), "clGetDeviceInfo");
    std::string text(size, '\0');
    Error::check(cl.clGetDeviceInfo(hDevice_, CL_DEVICE_NAME, size, &text[0], nullptr), "clGetDeviceInfo");
    text.resize(text.find('\0'));
    return text;
}

} // namespace OCL
} // namespace ZEB
