#include "Detail.h"

#include "zeb/core/exception/RuntimeException.h"

#include <cstdint>
#include <cstdio>

namespace ZEB {
namespace OGL {
namespace detail {

namespace {
const char kWindowClassName[] = "ZEB_OGL_ContextOffscreen";
}

RenderContextHandle currentRenderContext() { return wglGetCurrentContext(); }

Proc procAddress(const char* name)
{
    // wglGetProcAddress answers 1, 2, 3 or -1 instead of null on some drivers.
    const PROC entry = wglGetProcAddress(name);
    const std::intptr_t value = reinterpret_cast<std::intptr_t>(entry);
    return (value >= -1 && value <= 3) ? nullptr : reinterpret_cast<Proc>(entry);
}

void initializePlatform() { registerWindowClass(); }

// Fails quietly while offscreen contexts still exist; their windows keep the
// class alive and a later initialize finds it registered.
void terminatePlatform() { unregisterWindowClass(); }

const char* windowClassName() { return kWindowClassName; }

HINSTANCE moduleInstance() { return GetModuleHandleA(nullptr); }

void registerWindowClass()
{
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(moduleInstance(), kWindowClassName, &existing)) {
        return;
    }
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    // CS_OWNDC: the device context keeps its pixel format for the window's life.
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = moduleInstance();
    windowClass.lpszClassName = kWindowClassName;
    if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw RuntimeException("ZEB::OGL: " + win32Failure("RegisterClassExA"));
    }
}

void unregisterWindowClass() { UnregisterClassA(kWindowClassName, moduleInstance()); }

std::string win32Failure(const char* step)
{
    char text[64];
    std::snprintf(text, sizeof(text), " failed (GetLastError() = %lu)", static_cast<unsigned long>(GetLastError()));
    return std::string(step) + text;
}

} // namespace detail
} // namespace OGL
} // namespace ZEB
