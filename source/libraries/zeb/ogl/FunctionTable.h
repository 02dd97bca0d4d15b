#pragma once

#include "zeb/ogl/OpenGL.h"

#include <cstddef>

namespace ZEB {
namespace OGL {

// GL entry points beyond OpenGL 1.1, resolved for one context. An entry the
// driver does not offer stays null. Declared with GL 1.1 types only, so this
// header can meet Extension.h in one translation unit.
struct FunctionTable {
    typedef char Char;
    typedef std::ptrdiff_t SizeIPtr;
    typedef unsigned long long UInt64;

    // ARB_vertex_program / ARB_fragment_program
    void(APIENTRY* glGetProgramivARB)(GLenum target, GLenum pname, GLint* params);

    // Query objects (core 1.5, 64-bit results from ARB_timer_query / EXT_timer_query)
    void(APIENTRY* glGenQueries)(GLsizei n, GLuint* ids);
    void(APIENTRY* glDeleteQueries)(GLsizei n, const GLuint* ids);
    void(APIENTRY* glBeginQuery)(GLenum target, GLuint id);
    void(APIENTRY* glEndQuery)(GLenum target);
    void(APIENTRY* glGetQueryObjectui64v)(GLuint id, GLenum pname, UInt64* params);

    // Framebuffer objects (core 3.0 names, EXT_framebuffer_object as fallback)
    void(APIENTRY* glGenFramebuffers)(GLsizei n, GLuint* ids);
    void(APIENTRY* glDeleteFramebuffers)(GLsizei n, const GLuint* ids);
    void(APIENTRY* glBindFramebuffer)(GLenum target, GLuint id);
    void(APIENTRY* glFramebufferTexture2D)(GLenum target, GLenum attachment, GLenum textarget, GLuint texture,
                                           GLint level);
    GLenum(APIENTRY* glCheckFramebufferStatus)(GLenum target);

    // Shaders and programs (core 2.0)
    GLuint(APIENTRY* glCreateShader)(GLenum type);
    void(APIENTRY* glDeleteShader)(GLuint shader);
    void(APIENTRY* glShaderSource)(GLuint shader, GLsizei count, const Char* const* strings, const GLint* lengths);
    void(APIENTRY* glCompileShader)(GLuint shader);
    void(APIENTRY* glGetShaderiv)(GLuint shader, GLenum pname, GLint* params);
    void(APIENTRY* glGetShaderInfoLog)(GLuint shader, GLsizei size, GLsizei* length, Char* log);
    GLuint(APIENTRY* glCreateProgram)();
    void(APIENTRY* glDeleteProgram)(GLuint program);
    void(APIENTRY* glAttachShader)(GLuint program, GLuint shader);
    void(APIENTRY* glLinkProgram)(GLuint program);
    void(APIENTRY* glGetProgramiv)(GLuint program, GLenum pname, GLint* params);
    void(APIENTRY* glGetProgramInfoLog)(GLuint program, GLsizei size, GLsizei* length, Char* log);

    // Buffer objects (core 1.5)
    void(APIENTRY* glGenBuffers)(GLsizei n, GLuint* ids);
    void(APIENTRY* glDeleteBuffers)(GLsizei n, const GLuint* ids);
    void(APIENTRY* glBindBuffer)(GLenum target, GLuint id);
    void(APIENTRY* glBufferData)(GLenum target, SizeIPtr size, const void* data, GLenum usage);

    // Texture units (core 1.3)
    void(APIENTRY* glActiveTexture)(GLenum unit);
};

} // namespace OGL
} // namespace ZEB
