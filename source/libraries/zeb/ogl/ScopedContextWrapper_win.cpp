#include "zeb/ogl/ScopedContextWrapper.h"

namespace ZEB {
namespace OGL {

ScopedContextWrapper::ScopedContextWrapper()
    : hPreviousDeviceContext_(wglGetCurrentDC()), hPreviousRenderContext_(wglGetCurrentContext())
{
}

ScopedContextWrapper::~ScopedContextWrapper()
{
    // Restores "none" when none was current. Should the previous context have
    // been deleted meanwhile, none stays current rather than the scope's.
    if (hPreviousRenderContext_ == nullptr || !wglMakeCurrent(hPreviousDeviceContext_, hPreviousRenderContext_)) {
        wglMakeCurrent(nullptr, nullptr);
    }
}

} // namespace OGL
} // namespace ZEB
