#include "legacy/CheckOpenGLVersion.h"

#include "zeb/core/exception/InternalException.h"
#include "zeb/core/memory/ZEBAllocator.h"
#include "zeb/ogl/ExtensionManager.h"

#include <iostream>
#include <sstream>
#include <string>

namespace {

typedef std::basic_ostringstream<char, std::char_traits<char>, ZEB::ZEBAllocator<char> > ZEBStringStream;

struct GateVersion {
    ZEB::OGL::teExtension id;
    const char* text;
};

// Highest first: the first one the context reaches is the one named.
const GateVersion kVersions[] = {
    {ZEB::OGL::GL_VERSION_3_0, "3.0"},
    {ZEB::OGL::GL_VERSION_2_0, "2.0"},
    {ZEB::OGL::GL_VERSION_1_5, "1.5"},
};

} // namespace

bool CheckOpenGLVersion(ZEB::OGL::ExtensionManager& manager)
{
    std::cout << "OpenGL Version ";
    for (const GateVersion& version : kVersions) {
        if (manager.isSupported(version.id)) {
            std::cout << version.text << std::endl;
            return true;
        }
    }
    if (manager.majorVersion() == 1 && manager.minorVersion() < 5) {
        std::cout << "(Unsupported GL version)" << std::endl;
        return false;
    }

    std::cout << "(Error determining GL version)" << std::endl;
    ZEBStringStream message;
    message << "Error determining GL version.";
    const auto text = message.str();
    throw ZEB::InternalException("source/applications/vexilon_gpu/main", 1052, std::string(text.begin(), text.end()));
}
