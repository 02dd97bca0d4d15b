#include "TestEnvironment.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

std::string TestEnvironment::Variable(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        throw std::runtime_error(std::string("the test bed did not set ") + name);
    }
    return value;
}

std::string TestEnvironment::ToolPath() { return NativePath(Variable("VEXILON_GPU_EXE")); }

std::string TestEnvironment::FixtureBuildPath(const std::string& name)
{
    return NativePath(Variable("VEXILON_FIXTURES_DIR") + "/" + name);
}


std::string TestEnvironment::ReadTextFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace testsupport
