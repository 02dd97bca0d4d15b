#include "zeb/ogl/ScopedContextWrapper.h"

#include "Detail.h"

#include <EGL/egl.h>

namespace ZEB {
namespace OGL {

ScopedContextWrapper::ScopedContextWrapper()
    : hPreviousDeviceContext_(nullptr), hPreviousRenderContext_(detail::currentRenderContext()),
      hPreviousDrawSurface_(EGL_NO_SURFACE), hPreviousReadSurface_(EGL_NO_SURFACE)
{
    if (hPreviousRenderContext_ != EGL_NO_CONTEXT) {
        hPreviousDeviceContext_ = eglGetCurrentDisplay();
        hPreviousDrawSurface_ = eglGetCurrentSurface(EGL_DRAW);
        hPreviousReadSurface_ = eglGetCurrentSurface(EGL_READ);
    }
}

ScopedContextWrapper::~ScopedContextWrapper()
{
    // Restores "none" when none was current. Should the previous context have
    // been deleted meanwhile, none stays current rather than the scope's.
    eglBindAPI(EGL_OPENGL_API);
    if (hPreviousRenderContext_ != EGL_NO_CONTEXT &&
        eglMakeCurrent(hPreviousDeviceContext_, hPreviousDrawSurface_, hPreviousReadSurface_,
                       hPreviousRenderContext_)) {
        return;
    }
    const EGLDisplay current = eglGetCurrentDisplay();
    if (current != EGL_NO_DISPLAY) {
        eglMakeCurrent(current, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
}

} // namespace OGL
} // namespace ZEB
