#pragma once

#include "zeb/ogl/Extension.h"
#include "zeb/ogl/FunctionTable.h"
#include "zeb/ogl/OpenGL.h"

#include <set>
#include <string>

namespace ZEB {
namespace OGL {

// What the current context offers: its version, its extensions and its entry
// points. One manager per render context, made on first demand.
class ExtensionManager {
public:
    // The manager of the calling thread's current context; null when no
    // context is current.
    static ExtensionManager* Instance();

    // Drops the manager of a render context that is about to be deleted.
    static void forget(RenderContextHandle renderContext);

    // Version identifiers: the context's version reaches them. GL_EXT_TIMER_QUERY
    // (178): the context advertises GL_ARB_timer_query or GL_EXT_timer_query
    // and the table holds glGenQueries, glDeleteQueries, glBeginQuery,
    // glEndQuery and glGetQueryObjectui64v. Any other identifier: the context
    // advertises the extension of that name. Unknown identifiers: false.
    bool isSupported(teExtension extension) const;
    unsigned majorVersion() const { return uMajor_; }
    unsigned minorVersion() const { return uMinor_; }
    const FunctionTable& table() const { return table_; }

    // Reads "major.minor" from the front of a GL_VERSION text (0.0 when it has none).
    static void parseVersion(const char* versionText, unsigned& major, unsigned& minor);

    ExtensionManager(const char* versionText, const char* extensionsText);

private:
    void loadTable();

    unsigned uMajor_;
    unsigned uMinor_;
    std::set<std::string> extensions_;
    FunctionTable table_;
};

} // namespace OGL
} // namespace ZEB
