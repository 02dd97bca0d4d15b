#pragma once

#include "zeb/ocl/Platform.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <CL/cl.h>

#include <vector>

namespace ZEB {
namespace OCL {

// The property list of a context: its platform and, for OpenGL sharing, the
// render context and the device context (WGL) or display (EGL) to share with.
class ContextProperties {
public:
    // What ZEB::OGL::Context's renderContext() and deviceContext() return.
#ifdef _WIN32
    typedef HGLRC RenderContext;
    typedef HDC DisplayContext;
#else
    typedef void* RenderContext;   // EGLContext
    typedef void* DisplayContext;  // EGLDisplay
#endif

    explicit ContextProperties(const Platform& platform);

    void setSharedRenderContext(RenderContext renderContext);
    // CL_WGL_HDC_KHR on Windows, CL_EGL_DISPLAY_KHR with EGL.
    void setDisplayContext(DisplayContext deviceContext);

    // Zero-terminated list as clCreateContext takes it.
    const cl_context_properties* data() const { return properties_.data(); }

private:
    void set(cl_context_properties key, cl_context_properties value);

    std::vector<cl_context_properties> properties_;
};

} // namespace OCL
} // namespace ZEB
