#pragma once

// Never include this header together with the GL extension headers in one
// translation unit: they define GL_VERSION_1_2 and friends as macros.

namespace ZEB {
namespace OGL {

// Capabilities a context can be asked about. Version identifiers are supported
// when the context's version reaches them, the others when the context
// advertises the extension of that name. The numbers are part of the report
// format and never change.
enum teExtension {
    GL_VERSION_1_2 = 0,
    GL_VERSION_1_3 = 1,
    GL_VERSION_1_4 = 2,
    GL_VERSION_1_5 = 3,
    GL_VERSION_2_0 = 4,
    GL_VERSION_2_1 = 5,
    GL_VERSION_3_0 = 6,
    GL_ARB_FRAGMENT_PROGRAM = 28,
    GL_ARB_FRAGMENT_SHADER = 30,
    GL_ARB_OCCLUSION_QUERY = 42,
    GL_ARB_SHADER_OBJECTS = 46,
    GL_ARB_SHADER_TEXTURE_LOD = 47,
    GL_ARB_SHADING_LANGUAGE_100 = 48,
    GL_ARB_TEXTURE_FLOAT = 61,
    GL_ARB_TEXTURE_NON_POWER_OF_TWO = 63,
    GL_ARB_TEXTURE_RECTANGLE = 64,
    GL_ARB_VERTEX_BUFFER_OBJECT = 69,
    GL_ARB_VERTEX_PROGRAM = 70,
    GL_ARB_VERTEX_SHADER = 71,
    GL_EXT_FRAMEBUFFER_OBJECT = 121,
    GL_EXT_TIMER_QUERY = 178
};

} // namespace OGL
} // namespace ZEB
