#pragma once

#include "zeb/ocl/ContextProperties.h"
#include "zeb/ocl/Device.h"

#include <CL/cl.h>

namespace ZEB {
namespace OCL {

// An OpenCL context on one device; released when destroyed.
class Context {
public:
    struct NotifyCallback {
        void(CL_CALLBACK* function)(const char* errorInfo, const void* privateInfo, size_t privateSize,
                                    void* userData);
        void* userData;

        NotifyCallback() : function(nullptr), userData(nullptr) {}
    };

    Context(const ContextProperties& properties, const Device& device, const NotifyCallback& callback);
    ~Context();

    cl_context handle() const { return hContext_; }

private:
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    cl_context hContext_;
};

} // namespace OCL
} // namespace ZEB
