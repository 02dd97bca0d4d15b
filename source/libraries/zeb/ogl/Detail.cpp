#include "Detail.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/ExtensionManager.h"

#include <cstdio>
#include <cstring>

namespace ZEB {
namespace OGL {
namespace detail {

bool listsExtension(const char* list, const char* name)
{
    const std::size_t length = std::strlen(name);
    for (const char* p = list; p != nullptr && *p != '\0';) {
        while (*p == ' ') {
            ++p;
        }
        const char* end = p;
        while (*end != '\0' && *end != ' ') {
            ++end;
        }
        if (static_cast<std::size_t>(end - p) == length && length != 0 && std::strncmp(p, name, length) == 0) {
            return true;
        }
        p = end;
    }
    return false;
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

RenderContextHandle requireCurrentContext(const char* who)
{
    const RenderContextHandle renderContext = currentRenderContext();
    if (renderContext == nullptr) {
        throw RuntimeException(std::string(who) + ": no OpenGL context is current");
    }
    return renderContext;
}

bool isCurrent(RenderContextHandle renderContext)
{
    return renderContext != nullptr && currentRenderContext() == renderContext;
}

} // namespace detail
} // namespace OGL
} // namespace ZEB
