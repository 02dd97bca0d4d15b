#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

#include <string>

namespace ZEB {
namespace Core {

// Loads libraries that belong to the system from where the system keeps them,
// never from the application folder or the working directory, so a planted
// library of the same name is never picked up. Windows: the system directory
// only. Elsewhere: by soname only ("libOpenCL.so.1"), through the dynamic
// loader's own search; a name holding a '/' is refused.
class SystemLibrary {
public:
#ifdef _WIN32
    typedef HMODULE Handle;
#else
    typedef void* Handle;
#endif

    // Windows: "<system directory>\<fileName>", empty when the system
    // directory's path does not fit the 1024-character buffer. Elsewhere: the
    // soname itself, empty when it holds a '/'.
    static std::string path(const char* fileName);

    // Loads that library; null when it cannot be loaded or the path cannot be
    // formed (Windows: with the thread's last error set).
    static Handle load(const char* fileName);

    // The named export of a loaded library; null when it has none.
    static void* symbol(Handle library, const char* name);

    // Gives back one load; a null handle is ignored.
    static void unload(Handle library);

private:
    SystemLibrary() = delete;
};

} // namespace Core
} // namespace ZEB
