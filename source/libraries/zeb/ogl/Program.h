#pragma once

#include "zeb/ogl/OpenGL.h"

namespace ZEB {
namespace OGL {

// A GLSL program on the current context. A shader that fails to compile, or a
// program that fails to link, throws ZEB::RuntimeException with the driver's
// info log in its text.
class Program {
public:
    Program();
    ~Program();

    // `count` source strings, joined in order; `lengths` may be null when every
    // string is NUL-terminated.
    void loadVertexShader(GLsizei count, const char* const* sources, const GLint* lengths);
    void loadFragmentShader(GLsizei count, const char* const* sources, const GLint* lengths);

    // Links the loaded shaders. With throwOnFailure false a failed link is
    // reported by the result instead.
    bool link(bool throwOnFailure);

    GLuint handle() const { return uProgram_; }

private:
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    GLuint compile(GLenum stage, GLsizei count, const char* const* sources, const GLint* lengths);

    GLuint uProgram_;
    GLuint uVertexShader_;
    GLuint uFragmentShader_;
    RenderContextHandle hRenderContext_;  // the context the program was made on
};

} // namespace OGL
} // namespace ZEB
