#include "zeb/ogl/Context.h"

#include "Detail.h"

#include "zeb/core/exception/RuntimeException.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace ZEB {
namespace OGL {

Context::Context() : hDeviceContext_(EGL_NO_DISPLAY), hRenderContext_(EGL_NO_CONTEXT), hSurface_(EGL_NO_SURFACE) {}

Context::~Context() = default;

void Context::makeCurrent() const
{
    if (hDeviceContext_ == EGL_NO_DISPLAY || hRenderContext_ == EGL_NO_CONTEXT) {
        throw RuntimeException("ZEB::OGL::Context::makeCurrent: the context has no display or render context");
    }
    // The current context is kept per client API: bind ours on this thread.
    if (!eglBindAPI(EGL_OPENGL_API)) {
        throw RuntimeException("ZEB::OGL::Context::makeCurrent: " + detail::eglFailure("eglBindAPI"));
    }
    if (!eglMakeCurrent(hDeviceContext_, hSurface_, hSurface_, hRenderContext_)) {
        throw RuntimeException("ZEB::OGL::Context::makeCurrent: " + detail::eglFailure("eglMakeCurrent"));
    }
}

std::string Context::driverName() const
{
    if (hDeviceContext_ == EGL_NO_DISPLAY ||
        !detail::listsExtension(eglQueryString(hDeviceContext_, EGL_EXTENSIONS), "EGL_MESA_query_driver")) {
        return std::string();
    }
    const auto getDriverName =
        reinterpret_cast<PFNEGLGETDISPLAYDRIVERNAMEPROC>(eglGetProcAddress("eglGetDisplayDriverName"));
    const char* name = getDriverName != nullptr ? getDriverName(hDeviceContext_) : nullptr;
    if (name == nullptr) {
        eglGetError();
        return std::string();
    }
    return name;
}

} // namespace OGL
} // namespace ZEB
