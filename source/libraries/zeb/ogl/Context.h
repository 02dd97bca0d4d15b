#pragma once

#include "zeb/ogl/OpenGL.h"

#include <cstddef>
#include <string>

namespace ZEB {
namespace OGL {

// An OpenGL rendering context together with what it draws on: WGL's device
// context, or EGL's display (and the surface, if the context needs one).
class Context {
public:
    virtual ~Context();

    // Makes this context current on the calling thread; throws when the
    // platform refuses.
    virtual void makeCurrent() const;

    DeviceContextHandle deviceContext() const { return hDeviceContext_; }
    RenderContextHandle renderContext() const { return hRenderContext_; }

#ifdef _WIN32
    // Fills the record of display device `index`. Past the last device the
    // record is cleared (StateFlags 0), so a stale record never reads as attached.
    static void displayDevice(std::size_t index, DISPLAY_DEVICEA& device);
    // The record of the device flagged as primary (device 0 when none is).
    static DISPLAY_DEVICEA primaryDisplayDevice();
#else
    // The name of the display's driver (EGL_MESA_query_driver), empty when
    // EGL cannot tell.
    std::string driverName() const;
#endif

protected:
    Context();

    DeviceContextHandle hDeviceContext_;
    RenderContextHandle hRenderContext_;
#ifndef _WIN32
    void* hSurface_;  // EGLSurface: EGL_NO_SURFACE when surfaceless
#endif

private:
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
};

} // namespace OGL
} // namespace ZEB
