#pragma once

#include "zeb/ocl/Platform.h"

#include <windows.h>
#include <CL/cl.h>

#include <vector>

namespace ZEB {
namespace OCL {

// The property list of a context: its platform and, for OpenGL sharing, the
// WGL render context and device context to share with.
class ContextProperties {
public:
    explicit ContextProperties(const Platform& platform);

    void setSharedRenderContext(HGLRC renderContext);
    void setDisplayContext(HDC deviceContext);

    // Zero-terminated list as clCreateContext takes it.
    const cl_context_properties* data() const { return properties_.data(); }

private:
    void set(cl_context_properties key, cl_context_properties value);

    std::vector<cl_context_properties> properties_;
};

} // namespace OCL
} // namespace ZEB
