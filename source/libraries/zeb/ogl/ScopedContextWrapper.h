#pragma once

#include <windows.h>

namespace ZEB {
namespace OGL {

// Remembers the calling thread's current device and render context and makes
// them current again when destroyed (also during unwinding).
class ScopedContextWrapper {
public:
    ScopedContextWrapper();
    ~ScopedContextWrapper();

private:
    ScopedContextWrapper(const ScopedContextWrapper&) = delete;
    ScopedContextWrapper& operator=(const ScopedContextWrapper&) = delete;

    HDC hPreviousDeviceContext_;
    HGLRC hPreviousRenderContext_;
};

} // namespace OGL
} // namespace ZEB
