#include "Detail.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/ExtensionManager.h"

#include <cstdio>

namespace ZEB {
namespace OGL {
namespace detail {

namespace {
const char kWindowClassName[] = "ZEB_OGL_ContextOffscreen";
}

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

const FunctionTable& currentTable(const char* who)
{
    ExtensionManager* manager = ExtensionManager::Instance();
    if (manager == nullptr) {
        throw RuntimeException(std::string(who) + ": no OpenGL context is current");
    }
    return manager->table();
}

void throwMissingEntry(const char* who, const char* entryName)
{
    throw RuntimeException(std::string(who) + ": " + entryName + " is not available");
}

void throwOnGLError(const std::string& what)
{
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR) {
        return;
    }
    // Several flags may be set; leave none behind. Bounded: without a current
    // context some implementations answer the same error for ever.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
    char code[32];
    std::snprintf(code, sizeof(code), "0x%04X", static_cast<unsigned>(error));
    throw RuntimeException(what + " failed: glGetError() = " + code);
}

HGLRC requireCurrentContext(const char* who)
{
    const HGLRC renderContext = wglGetCurrentContext();
    if (renderContext == nullptr) {
        throw RuntimeException(std::string(who) + ": no OpenGL context is current");
    }
    return renderContext;
}

bool isCurrent(HGLRC renderContext) { return renderContext != nullptr && wglGetCurrentContext() == renderContext; }

} // namespace detail
} // namespace OGL
} // namespace ZEB
