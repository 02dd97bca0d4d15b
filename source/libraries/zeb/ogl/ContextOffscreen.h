#pragma once

#include "zeb/ogl/Context.h"

#ifndef _WIN32
#include "zeb/ogl/EGLDevice.h"
#endif

namespace ZEB {
namespace OGL {

// A compatibility-profile context that draws nowhere visible. Throws
// ZEB::RuntimeException when any step fails; releases everything it made, in
// reverse order, when destroyed.
class ContextOffscreen : public Context {
public:
#ifdef _WIN32
    // On a hidden window placed on the desktop area of one display device.
    explicit ContextOffscreen(const DISPLAY_DEVICEA& device);

    HWND window() const { return hWindow_; }
#else
    // Desktop OpenGL on one device of EGL's device platform: surfaceless where
    // the display allows it, else on a 1x1 pbuffer. Draw only into
    // framebuffer objects: without a surface some drivers start with no draw
    // or read buffer.
    explicit ContextOffscreen(const EGLDevice& device);
#endif
    ~ContextOffscreen() override;

private:
    void release();

#ifdef _WIN32
    HWND hWindow_;
#else
    bool bDisplayHeld_;  // this context holds a reference on hDeviceContext_
#endif
};

} // namespace OGL
} // namespace ZEB
