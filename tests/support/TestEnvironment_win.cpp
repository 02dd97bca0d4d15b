#include "TestEnvironment.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

namespace testsupport {

std::string TestEnvironment::NativePath(const std::string& unixPath)
{
    if (unixPath.size() > 1 && unixPath[1] == ':') {
        return unixPath;  // already a Windows path
    }
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string TestEnvironment::CurrentProgram()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        throw std::runtime_error("GetModuleFileName failed");
    }
    return std::string(path, length);
}

const std::string& TestEnvironment::LineEnd()
{
    static const std::string kLineEnd = "\r\n";
    return kLineEnd;
}

} // namespace testsupport
