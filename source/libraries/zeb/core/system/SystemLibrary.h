#pragma once

#include <windows.h>

#include <string>

namespace ZEB {
namespace Core {

// Loads libraries that belong to Windows from the system directory only, never
// from the application folder, the working directory or PATH, so a planted DLL
// of the same name is never picked up.
class SystemLibrary {
public:
    // "<system directory>\<fileName>", or empty when the system directory's
    // path does not fit the 1024-character buffer.
    static std::string path(const char* fileName);

    // LoadLibrary of that path; null (with the thread's last error set) when the
    // library cannot be loaded or the path cannot be formed.
    static HMODULE load(const char* fileName);

private:
    SystemLibrary() = delete;
};

} // namespace Core
} // namespace ZEB
