#include "TestEnvironment.h"

#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace testsupport {

std::string TestEnvironment::NativePath(const std::string& unixPath) { return unixPath; }

std::string TestEnvironment::CurrentProgram()
{
    std::vector<char> path(4096);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) == path.size()) {
        throw std::runtime_error("cannot read /proc/self/exe");
    }
    return std::string(path.data(), static_cast<std::size_t>(length));
}

const std::string& TestEnvironment::LineEnd()
{
    static const std::string kLineEnd = "\n";
    return kLineEnd;
}

} // namespace testsupport
