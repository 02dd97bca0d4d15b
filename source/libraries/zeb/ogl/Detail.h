#pragma once

// Helpers shared by the sources of zeb_ogl. Internal to the library. The
// platform's part lives in Detail_win.cpp (WGL) and Detail_egl.cpp (EGL).

#include "zeb/ogl/FunctionTable.h"
#include "zeb/ogl/OpenGL.h"

#include <string>

namespace ZEB {
namespace OGL {
namespace detail {

// --- Platform part ---------------------------------------------------------

// An entry point of any type, as the platform's lookup answers it.
typedef void (*Proc)();

// The render context current on the calling thread; null when none is.
RenderContextHandle currentRenderContext();

// The current context's entry point of that name; null when the driver
// does not offer it.
Proc procAddress(const char* name);

// What Library::initialize and terminate do for the platform.
void initializePlatform();
void terminatePlatform();

#ifdef _WIN32
// The window class of offscreen contexts. registerWindowClass may be called
// again while registered; unregisterWindowClass fails quietly while windows of
// the class still exist (the class then stays registered).
const char* windowClassName();
HINSTANCE moduleInstance();
void registerWindowClass();
void unregisterWindowClass();

// "<step> failed (GetLastError() = <code>)".
std::string win32Failure(const char* step);
#else
// "<step> failed (eglGetError() = 0x....)".
std::string eglFailure(const char* step);
#endif

// --- Portable part ---------------------------------------------------------

// Whether a space-separated extension list (null: none) names `name` exactly.
bool listsExtension(const char* list, const char* name);

// The function table of the calling thread's current context; throws
// ZEB::RuntimeException naming `who` when no context is current.
const FunctionTable& currentTable(const char* who);

// Throws ZEB::RuntimeException "<who>: <entry> is not available".
[[noreturn]] void throwMissingEntry(const char* who, const char* entryName);

// Throws as above when the entry point is null.
template <typename Entry> void requireEntry(Entry entry, const char* who, const char* entryName)
{
    if (entry == nullptr) {
        throwMissingEntry(who, entryName);
    }
}

// Reads the GL error flags; when one was set, clears them all and throws
// ZEB::RuntimeException "<what> failed: glGetError() = 0x...".
void throwOnGLError(const std::string& what);

// The render context current on the calling thread; throws
// ZEB::RuntimeException naming `who` when none is.
RenderContextHandle requireCurrentContext(const char* who);

// Whether `renderContext` is the calling thread's current context, so that
// objects made on it may be deleted now. Objects of a context that is no
// longer current are left to the deletion of that context.
bool isCurrent(RenderContextHandle renderContext);

} // namespace detail
} // namespace OGL
} // namespace ZEB
