#pragma once

// GL enumerants beyond OpenGL 1.1 that the OpenGL layer uses, under names of
// their own: the macros of the GL extension headers (GL_VERSION_1_2 and the
// like) would clash with the identifiers of Extension.h. Internal to zeb_ogl.

#include "zeb/ogl/OpenGL.h"

namespace ZEB {
namespace OGL {
namespace gl {

// Strings and versions
const GLenum kNumExtensions = 0x821D;

// Textures
const GLenum kTextureRectangle = 0x84F5;
const GLenum kTextureBindingRectangle = 0x84F6;
const GLenum kClampToEdge = 0x812F;
const GLenum kGenerateMipmap = 0x8191;
const GLenum kRGBA8 = 0x8058;
const GLenum kRGBA32F = 0x8814;
const GLenum kTexture0 = 0x84C0;
const GLenum kActiveTexture = 0x84E0;

// Buffers
const GLenum kArrayBuffer = 0x8892;
const GLenum kArrayBufferBinding = 0x8894;
const GLenum kPixelUnpackBuffer = 0x88EC;
const GLenum kPixelUnpackBufferBinding = 0x88EF;
const GLenum kStreamDraw = 0x88E0;
const GLenum kStreamCopy = 0x88E2;
const GLenum kStaticDraw = 0x88E4;
const GLenum kDynamicDraw = 0x88E8;

// Framebuffers (the same values in ARB/core and EXT_framebuffer_object)
const GLenum kFramebuffer = 0x8D40;
const GLenum kColorAttachment0 = 0x8CE0;
const GLenum kFramebufferComplete = 0x8CD5;

// Shaders
const GLenum kFragmentShader = 0x8B30;
const GLenum kVertexShader = 0x8B31;
const GLenum kCompileStatus = 0x8B81;  // = GL_OBJECT_COMPILE_STATUS_ARB
const GLenum kLinkStatus = 0x8B82;     // = GL_OBJECT_LINK_STATUS_ARB
const GLenum kInfoLogLength = 0x8B84;  // = GL_OBJECT_INFO_LOG_LENGTH_ARB

} // namespace gl
} // namespace OGL
} // namespace ZEB
