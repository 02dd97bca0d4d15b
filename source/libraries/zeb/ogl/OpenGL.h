#pragma once

// The one way this code base includes OpenGL 1.1, on every system. Later
// entry points come through ExtensionManager's table, and later enumerants
// from GLConstants.h: the extension headers' GL_VERSION_1_2-style macros
// would clash with the identifiers of Extension.h.

#ifdef _WIN32
#include <windows.h>
#include <GL/gl.h>
#else
#ifndef GL_GLEXT_LEGACY
#define GL_GLEXT_LEGACY  // keeps <GL/gl.h> from pulling in <GL/glext.h>
#endif
#include <GL/gl.h>
// Mesa's <GL/gl.h> also covers 1.2 and 1.3 and says so with these macros,
// which are identifiers of Extension.h here.
#undef GL_VERSION_1_2
#undef GL_VERSION_1_3
#endif

namespace ZEB {
namespace OGL {

// The platform's handles of a rendering context and of what it draws on:
// HGLRC and HDC with WGL; EGLContext and EGLDisplay (both void*) with EGL.
#ifdef _WIN32
typedef HGLRC RenderContextHandle;
typedef HDC DeviceContextHandle;
#else
typedef void* RenderContextHandle;
typedef void* DeviceContextHandle;
#endif

} // namespace OGL
} // namespace ZEB
