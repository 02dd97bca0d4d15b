#include "zeb/ocl/Context.h"

#include "zeb/ocl/Error.h"
#include "zeb/ocl/ExtensionManager.h"

namespace ZEB {
namespace OCL {

Context::Context(const ContextProperties& properties, const Device& device, const NotifyCallback& callback)
    : hContext_(nullptr)
{
    const cl_icd_dispatch& cl = ExtensionManager::requiredTable();
    const cl_device_id handle = device.handle();
    cl_int error = CL_SUCCESS;
    hContext_ = cl.clCreateContext(properties.data(), 1, &handle, callback.function, callback.userData, &error);
    if (hContext_ == nullptr && error == CL_SUCCESS) {
        error = CL_INVALID_CONTEXT; // a runtime that fails without saying why
    }
    Error::check(error, "clCreateContext");
}

Context::~Context()
{
    // Once the library is terminated there is nothing left to release through.
    if (ExtensionManager* manager = ExtensionManager::instance()) {
        manager->table().clReleaseContext(hContext_);
    }
}

} // namespace OCL
} // namespace ZEB
