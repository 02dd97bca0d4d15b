#include "zeb/ogl/ExtensionManager.h"

#include "Detail.h"
#include "GLConstants.h"

#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>

namespace ZEB {
namespace OGL {

namespace {

// One manager per render context, for the life of that context.
struct Registry {
    std::mutex mutex;
    std::map<RenderContextHandle, std::unique_ptr<ExtensionManager>> managers;
};

// Never destroyed: contexts owned by other static objects (the process-wide
// GPU list) are deleted during static destruction and still check out here.
Registry& registry()
{
    static Registry* instance = new Registry();
    return *instance;
}

// The extension each non-version identifier stands for.
const char* extensionName(teExtension extension)
{
    switch (extension) {
    case GL_ARB_FRAGMENT_PROGRAM: return "GL_ARB_fragment_program";
    case GL_ARB_FRAGMENT_SHADER: return "GL_ARB_fragment_shader";
    case GL_ARB_OCCLUSION_QUERY: return "GL_ARB_occlusion_query";
    case GL_ARB_SHADER_OBJECTS: return "GL_ARB_shader_objects";
    case GL_ARB_SHADER_TEXTURE_LOD: return "GL_ARB_shader_texture_lod";
    case GL_ARB_SHADING_LANGUAGE_100: return "GL_ARB_shading_language_100";
    case GL_ARB_TEXTURE_FLOAT: return "GL_ARB_texture_float";
    case GL_ARB_TEXTURE_NON_POWER_OF_TWO: return "GL_ARB_texture_non_power_of_two";
    case GL_ARB_TEXTURE_RECTANGLE: return "GL_ARB_texture_rectangle";
    case GL_ARB_VERTEX_BUFFER_OBJECT: return "GL_ARB_vertex_buffer_object";
    case GL_ARB_VERTEX_PROGRAM: return "GL_ARB_vertex_program";
    case GL_ARB_VERTEX_SHADER: return "GL_ARB_vertex_shader";
    case GL_EXT_FRAMEBUFFER_OBJECT: return "GL_EXT_framebuffer_object";
    default: return nullptr;
    }
}

using detail::Proc;

Proc lookup(const char* name) { return detail::procAddress(name); }

template <typename Entry> void assign(Entry& entry, Proc address)
{
    // From the generic function pointer type, which casts to any other.
    entry = reinterpret_cast<Entry>(address);
}

// Loads the first of `names` that the driver offers.
template <typename Entry> void loadEntry(Entry& entry, std::initializer_list<const char*> names)
{
    entry = nullptr;
    for (const char* name : names) {
        if (Proc address = lookup(name)) {
            assign(entry, address);
            return;
        }
    }
}

// A group of entries that must come from one family (core names, or one
// extension's names): all of them, or none.
template <std::size_t N> bool loadGroup(Proc (&addresses)[N], const char* const (&names)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        addresses[i] = lookup(names[i]);
        if (addresses[i] == nullptr) {
            for (std::size_t j = 0; j < N; ++j) {
                addresses[j] = nullptr;
            }
            return false;
        }
    }
    return true;
}

template <std::size_t N>
void loadFamilies(Proc (&addresses)[N], std::initializer_list<const char* const (*)[N]> families)
{
    for (const auto* family : families) {
        if (loadGroup(addresses, *family)) {
            return;
        }
    }
}

// The lookups below may raise errors that are nobody else's; bounded, as
// some implementations answer the same error for ever without a context.
void clearGLErrors()
{
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

} // namespace

ExtensionManager* ExtensionManager::Instance()
{
    const RenderContextHandle renderContext = detail::currentRenderContext();
    if (renderContext == nullptr) {
        return nullptr;
    }
    Registry& reg = registry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto found = reg.managers.find(renderContext);
    if (found != reg.managers.end()) {
        return found->second.get();
    }

    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    std::string extensionList;
    if (extensions != nullptr) {
        extensionList = extensions;
    } else {
        // A core-profile context has no GL_EXTENSIONS string: ask one name at a time.
        clearGLErrors();
        typedef const GLubyte*(APIENTRY * GetStringi)(GLenum name, GLuint index);
        GetStringi getStringi = nullptr;
        loadEntry(getStringi, {"glGetStringi"});
        GLint count = 0;
        glGetIntegerv(gl::kNumExtensions, &count);
        for (GLint i = 0; getStringi != nullptr && i < count; ++i) {
            if (const GLubyte* name = getStringi(GL_EXTENSIONS, static_cast<GLuint>(i))) {
                extensionList += reinterpret_cast<const char*>(name);
                extensionList += ' ';
            }
        }
        clearGLErrors();
    }

    std::unique_ptr<ExtensionManager> manager(new ExtensionManager(version, extensionList.c_str()));
    ExtensionManager* result = manager.get();
    reg.managers[renderContext] = std::move(manager);
    return result;
}

void ExtensionManager::forget(RenderContextHandle renderContext)
{
    Registry& reg = registry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    reg.managers.erase(renderContext);
}

ExtensionManager::ExtensionManager(const char* versionText, const char* extensionsText)
    : uMajor_(0), uMinor_(0), table_()
{
    parseVersion(versionText, uMajor_, uMinor_);
    if (extensionsText != nullptr) {
        std::istringstream names(extensionsText);
        std::string name;
        while (names >> name) {
            extensions_.insert(name);
        }
    }
    loadTable();
}

void ExtensionManager::parseVersion(const char* versionText, unsigned& major, unsigned& minor)
{
    major = 0;
    minor = 0;
    if (versionText == nullptr) {
        return;
    }
    const char* p = versionText;
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    // Reads up to five digits (GL versions are small; longer runs are no version).
    auto readNumber = [&p](unsigned& value) {
        int digits = 0;
        value = 0;
        while (*p >= '0' && *p <= '9') {
            if (++digits > 5) {
                return false;
            }
            value = value * 10 + static_cast<unsigned>(*p - '0');
            ++p;
        }
        return digits > 0;
    };
    unsigned parsedMajor = 0;
    unsigned parsedMinor = 0;
    if (!readNumber(parsedMajor) || *p != '.') {
        return;
    }
    ++p;
    if (!readNumber(parsedMinor)) {
        return;
    }
    major = parsedMajor;
    minor = parsedMinor;
}

bool ExtensionManager::isSupported(teExtension extension) const
{
    struct VersionId {
        teExtension id;
        unsigned major;
        unsigned minor;
    };
    static const VersionId kVersions[] = {
        {GL_VERSION_1_2, 1, 2}, {GL_VERSION_1_3, 1, 3}, {GL_VERSION_1_4, 1, 4}, {GL_VERSION_1_5, 1, 5},
        {GL_VERSION_2_0, 2, 0}, {GL_VERSION_2_1, 2, 1}, {GL_VERSION_3_0, 3, 0},
    };
    for (const VersionId& version : kVersions) {
        if (version.id == extension) {
            return uMajor_ > version.major || (uMajor_ == version.major && uMinor_ >= version.minor);
        }
    }

    if (extension == GL_EXT_TIMER_QUERY) {
        // The rule for the timer query (GL_TIME_ELAPSED with 64-bit results):
        // the context advertises GL_ARB_timer_query or GL_EXT_timer_query, and
        // the entry points the measurement calls were all resolved. The
        // version alone (3.3) does not count.
        const bool advertised =
            extensions_.count("GL_ARB_timer_query") != 0 || extensions_.count("GL_EXT_timer_query") != 0;
        return advertised && table_.glGenQueries != nullptr && table_.glDeleteQueries != nullptr &&
               table_.glBeginQuery != nullptr && table_.glEndQuery != nullptr &&
               table_.glGetQueryObjectui64v != nullptr;
    }

    const char* name = extensionName(extension);
    return name != nullptr && extensions_.count(name) != 0;
}

void ExtensionManager::loadTable()
{
    FunctionTable& t = table_;
    t = FunctionTable();
    // Entry points belong to the current context. Without one, WGL answers
    // null, but EGL may answer a dispatch stub for any GL name.
    if (detail::currentRenderContext() == nullptr) {
        return;
    }

    loadEntry(t.glGetProgramivARB, {"glGetProgramivARB"});

    {
        static const char* const kCore[] = {"glGenQueries", "glDeleteQueries", "glBeginQuery", "glEndQuery"};
        static const char* const kARB[] = {"glGenQueriesARB", "glDeleteQueriesARB", "glBeginQueryARB",
                                           "glEndQueryARB"};
        Proc a[4];
        loadFamilies(a, {&kCore, &kARB});
        assign(t.glGenQueries, a[0]);
        assign(t.glDeleteQueries, a[1]);
        assign(t.glBeginQuery, a[2]);
        assign(t.glEndQuery, a[3]);
        loadEntry(t.glGetQueryObjectui64v, {"glGetQueryObjectui64v", "glGetQueryObjectui64vEXT"});
    }

    {
        static const char* const kCore[] = {"glGenFramebuffers", "glDeleteFramebuffers", "glBindFramebuffer",
                                            "glFramebufferTexture2D", "glCheckFramebufferStatus"};
        static const char* const kEXT[] = {"glGenFramebuffersEXT", "glDeleteFramebuffersEXT", "glBindFramebufferEXT",
                                           "glFramebufferTexture2DEXT", "glCheckFramebufferStatusEXT"};
        Proc a[5];
        loadFamilies(a, {&kCore, &kEXT});
        assign(t.glGenFramebuffers, a[0]);
        assign(t.glDeleteFramebuffers, a[1]);
        assign(t.glBindFramebuffer, a[2]);
        assign(t.glFramebufferTexture2D, a[3]);
        assign(t.glCheckFramebufferStatus, a[4]);
    }

    {
        // ARB_shader_objects has one entry for shaders and programs where the
        // core has two (same signatures, same enumerant values).
        static const char* const kCore[] = {
            "glCreateShader",  "glDeleteShader",  "glShaderSource", "glCompileShader",
            "glGetShaderiv",   "glGetShaderInfoLog", "glCreateProgram", "glDeleteProgram",
            "glAttachShader",  "glLinkProgram",   "glGetProgramiv", "glGetProgramInfoLog"};
        static const char* const kARB[] = {
            "glCreateShaderObjectARB",  "glDeleteObjectARB",  "glShaderSourceARB",        "glCompileShaderARB",
            "glGetObjectParameterivARB", "glGetInfoLogARB",   "glCreateProgramObjectARB", "glDeleteObjectARB",
            "glAttachObjectARB",        "glLinkProgramARB",   "glGetObjectParameterivARB", "glGetInfoLogARB"};
        Proc a[12];
        loadFamilies(a, {&kCore, &kARB});
        assign(t.glCreateShader, a[0]);
        assign(t.glDeleteShader, a[1]);
        assign(t.glShaderSource, a[2]);
        assign(t.glCompileShader, a[3]);
        assign(t.glGetShaderiv, a[4]);
        assign(t.glGetShaderInfoLog, a[5]);
        assign(t.glCreateProgram, a[6]);
        assign(t.glDeleteProgram, a[7]);
        assign(t.glAttachShader, a[8]);
        assign(t.glLinkProgram, a[9]);
        assign(t.glGetProgramiv, a[10]);
        assign(t.glGetProgramInfoLog, a[11]);
    }

    {
        static const char* const kCore[] = {"glGenBuffers", "glDeleteBuffers", "glBindBuffer", "glBufferData"};
        static const char* const kARB[] = {"glGenBuffersARB", "glDeleteBuffersARB", "glBindBufferARB",
                                           "glBufferDataARB"};
        Proc a[4];
        loadFamilies(a, {&kCore, &kARB});
        assign(t.glGenBuffers, a[0]);
        assign(t.glDeleteBuffers, a[1]);
        assign(t.glBindBuffer, a[2]);
        assign(t.glBufferData, a[3]);
    }

    loadEntry(t.glActiveTexture, {"glActiveTexture", "glActiveTextureARB"});
}

} // namespace OGL
} // namespace ZEB
