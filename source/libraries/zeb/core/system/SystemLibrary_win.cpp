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

HMODULE SystemLibrary::load(const char* fileName)
{
    const std::string fullPath = path(fileName);
    if (fullPath.empty()) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return nullptr;
    }
    // The library's own dependencies resolve from its folder, not from ours.
    return LoadLibraryExA(fullPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace Core
} // namespace ZEB
