#include "ReferenceGL.h"

#include "zeb/ogl/EGLDevice.h"

#include <EGL/egl.h>

namespace testsupport {

ReferenceGL::ReferenceGL()
{
    for (const ZEB::OGL::EGLDevice& device : ZEB::OGL::EGLDevice::all()) {
        if (device.isSoftware()) {
            context_.reset(new ZEB::OGL::ContextOffscreen(device));
            break;
        }
    }
}

void ReferenceGL::releaseCurrent() const
{
    eglMakeCurrent(context_->deviceContext(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

GLint ReferenceGL::fragmentProgramInstructions() const
{
    context_->makeCurrent();
    GLint value = 0;
    reinterpret_cast<void (*)(GLenum, GLenum, GLint*)>(eglGetProcAddress("glGetProgramivARB"))(0x8804, 0x88A1, &value);
    return value;
}

} // namespace testsupport
