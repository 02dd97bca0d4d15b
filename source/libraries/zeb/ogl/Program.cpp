#include "zeb/ogl/Program.h"

#include "Detail.h"
#include "GLConstants.h"

#include "zeb/core/exception/LogicalException.h"
#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/ExtensionManager.h"

#include <string>
#include <vector>

namespace ZEB {
namespace OGL {

namespace {

const char kWho[] = "ZEB::OGL::Program";

const FunctionTable& shaderTable()
{
    const FunctionTable& table = detail::currentTable(kWho);
    detail::requireEntry(table.glCreateShader, kWho, "glCreateShader");
    detail::requireEntry(table.glDeleteShader, kWho, "glDeleteShader");
    detail::requireEntry(table.glShaderSource, kWho, "glShaderSource");
    detail::requireEntry(table.glCompileShader, kWho, "glCompileShader");
    detail::requireEntry(table.glGetShaderiv, kWho, "glGetShaderiv");
    detail::requireEntry(table.glGetShaderInfoLog, kWho, "glGetShaderInfoLog");
    detail::requireEntry(table.glCreateProgram, kWho, "glCreateProgram");
    detail::requireEntry(table.glDeleteProgram, kWho, "glDeleteProgram");
    detail::requireEntry(table.glAttachShader, kWho, "glAttachShader");
    detail::requireEntry(table.glLinkProgram, kWho, "glLinkProgram");
    detail::requireEntry(table.glGetProgramiv, kWho, "glGetProgramiv");
    detail::requireEntry(table.glGetProgramInfoLog, kWho, "glGetProgramInfoLog");
    return table;
}

// The info log of a shader or program, through the matching pair of entries.
template <typename GetIv, typename GetLog> std::string infoLog(GLuint object, GetIv getIv, GetLog getLog)
{
    GLint length = 0;
    getIv(object, gl::kInfoLogLength, &length);
    if (length <= 1) {
        return "(the driver gave no log)";
    }
    std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
    GLsizei written = 0;
    getLog(object, length, &written, log.data());
    std::string text(log.data(), written > 0 && written <= length ? static_cast<std::size_t>(written) : 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '\0')) {
        text.pop_back();
    }
    return text;
}

} // namespace

Program::Program()
    : uProgram_(0), uVertexShader_(0), uFragmentShader_(0), hRenderContext_(detail::requireCurrentContext(kWho))
{
    const FunctionTable& table = shaderTable();
    uProgram_ = table.glCreateProgram();
    detail::throwOnGLError(std::string(kWho) + ": glCreateProgram");
    if (uProgram_ == 0) {
        throw RuntimeException(std::string(kWho) + ": glCreateProgram gave no program");
    }
}

Program::~Program()
{
    if (!detail::isCurrent(hRenderContext_)) {
        return;
    }
    if (ExtensionManager* manager = ExtensionManager::Instance()) {
        const FunctionTable& table = manager->table();
        // A shader still attached is freed once the program is deleted.
        if (uVertexShader_ != 0) {
            table.glDeleteShader(uVertexShader_);
        }
        if (uFragmentShader_ != 0) {
            table.glDeleteShader(uFragmentShader_);
        }
        if (uProgram_ != 0) {
            table.glDeleteProgram(uProgram_);
        }
    }
}

void Program::loadVertexShader(GLsizei count, const char* const* sources, const GLint* lengths)
{
    if (uVertexShader_ != 0) {
        throw LogicalException(std::string(kWho) + ": a vertex shader is already loaded");
    }
    uVertexShader_ = compile(gl::kVertexShader, count, sources, lengths);
}

void Program::loadFragmentShader(GLsizei count, const char* const* sources, const GLint* lengths)
{
    if (uFragmentShader_ != 0) {
        throw LogicalException(std::string(kWho) + ": a fragment shader is already loaded");
    }
    uFragmentShader_ = compile(gl::kFragmentShader, count, sources, lengths);
}

GLuint Program::compile(GLenum stage, GLsizei count, const char* const* sources, const GLint* lengths)
{
    const char* const stageName = stage == gl::kVertexShader ? "vertex" : "fragment";
    const std::string who = std::string(kWho) + ": the " + stageName + " shader";
    const FunctionTable& table = shaderTable();

    const GLuint shader = table.glCreateShader(stage);
    detail::throwOnGLError(who + ": glCreateShader");
    if (shader == 0) {
        throw RuntimeException(who + ": glCreateShader gave no shader");
    }
    // The GL joins the strings in order with nothing between them.
    table.glShaderSource(shader, count, sources, lengths);
    table.glCompileShader(shader);
    GLint compiled = 0;
    table.glGetShaderiv(shader, gl::kCompileStatus, &compiled);
    try {
        detail::throwOnGLError(who + ": glCompileShader");
        if (!compiled) {
            throw RuntimeException(who + " failed to compile: " +
                                   infoLog(shader, table.glGetShaderiv, table.glGetShaderInfoLog));
        }
        table.glAttachShader(uProgram_, shader);
        detail::throwOnGLError(who + ": glAttachShader");
    } catch (...) {
        table.glDeleteShader(shader);
        throw;
    }
    return shader;
}

bool Program::link(bool throwOnFailure)
{
    const FunctionTable& table = shaderTable();
    table.glLinkProgram(uProgram_);
    GLint linked = 0;
    table.glGetProgramiv(uProgram_, gl::kLinkStatus, &linked);
    detail::throwOnGLError(std::string(kWho) + ": glLinkProgram");
    if (linked) {
        return true;
    }
    if (throwOnFailure) {
        throw RuntimeException(std::string(kWho) + " failed to link: " +
                               infoLog(uProgram_, table.glGetProgramiv, table.glGetProgramInfoLog));
    }
    return false;
}

} // namespace OGL
} // namespace ZEB
