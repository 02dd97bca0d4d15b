#pragma once

#include "zeb/ogl/OpenGL.h"

namespace ZEB {
namespace OGL {

// Remembers what is current on the calling thread (device and render context;
// with EGL also the display's draw and read surfaces) and makes it current
// again when destroyed (also during unwinding).
class ScopedContextWrapper {
public:
    ScopedContextWrapper();
    ~ScopedContextWrapper();

private:
    ScopedContextWrapper(const ScopedContextWrapper&) = delete;
    ScopedContextWrapper& operator=(const ScopedContextWrapper&) = delete;

    DeviceContextHandle hPreviousDeviceContext_;
    RenderContextHandle hPreviousRenderContext_;
#ifndef _WIN32
    void* hPreviousDrawSurface_;  // EGLSurface
    void* hPreviousReadSurface_;
#endif
};

} // namespace OGL
} // namespace ZEB
