#include "zeb/core/system/SystemLibrary.h"

#include <vector>

namespace ZEB {
namespace Core {

std::string SystemLibrary::path(const char* fileName)
{
    const UINT kBufferLength = 1024;
    std::vector<char> buffer(kBufferLength, '\0');
    const UINT length = GetSystemDirectoryA(buffer.data(), kBufferLength);
    if (length == 0 || length >= kBufferLength) {
        return std::string();
    }
    return std::string(buffer.data(), length) + "\\" + fileName;
}

SystemLibrary::Handle SystemLibrary::load(const char* fileName)
{
    const std::string fullPath = path(fileName);
    if (fullPath.empty()) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return nullptr;
    }
    // The library's own dependencies resolve from its folder, not from ours.
    return LoadLibraryExA(fullPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* SystemLibrary::symbol(Handle library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(library, name));
}

void SystemLibrary::unload(Handle library)
{
    if (library != nullptr) {
        FreeLibrary(library);
    }
}

} // namespace Core
} // namespace ZEB
