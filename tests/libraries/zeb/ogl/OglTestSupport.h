#pragma once

// An offscreen context on the device the GL tests use, the library set up:
// the primary display device (Windows) or the first EGL device (Linux).
#include "zeb/ogl/ContextOffscreen.h"
#include "zeb/ogl/Library.h"

#ifndef _WIN32
#include "zeb/ogl/EGLDevice.h"
#endif

#include <memory>

namespace ogltest {

inline std::unique_ptr<ZEB::OGL::ContextOffscreen> NewContext()
{
    ZEB::OGL::Library::initialize(ZEB::OGL::Library::InitOptions());
#ifdef _WIN32
    return std::make_unique<ZEB::OGL::ContextOffscreen>(ZEB::OGL::Context::primaryDisplayDevice());
#else
    return std::make_unique<ZEB::OGL::ContextOffscreen>(ZEB::OGL::EGLDevice::all().at(0));
#endif
}

} // namespace ogltest
