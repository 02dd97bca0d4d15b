#include "Detail.h"

#include <EGL/egl.h>

#include <cstdio>

namespace ZEB {
namespace OGL {
namespace detail {

RenderContextHandle currentRenderContext()
{
    // EGL keeps one current context per client API; this layer only ever
    // makes desktop OpenGL contexts.
    eglBindAPI(EGL_OPENGL_API);
    return eglGetCurrentContext();
}

Proc procAddress(const char* name) { return reinterpret_cast<Proc>(eglGetProcAddress(name)); }

// EGL needs no set-up of its own.
void initializePlatform() {}
void terminatePlatform() {}

std::string eglFailure(const char* step)
{
    char text[64];
    std::snprintf(text, sizeof(text), " failed (eglGetError() = 0x%04X)", static_cast<unsigned>(eglGetError()));
    return std::string(step) + text;
}

} // namespace detail
} // namespace OGL
} // namespace ZEB
