#include "ReferenceGL.h"

namespace testsupport {

ReferenceGL::ReferenceGL() : context_(new ZEB::OGL::ContextOffscreen(ZEB::OGL::Context::primaryDisplayDevice())) {}

void ReferenceGL::releaseCurrent() const { wglMakeCurrent(nullptr, nullptr); }

GLint ReferenceGL::fragmentProgramInstructions() const
{
    context_->makeCurrent();
    typedef void(APIENTRY * GetProgramiv)(GLenum, GLenum, GLint*);
    GLint value = 0;
    reinterpret_cast<GetProgramiv>(reinterpret_cast<void*>(wglGetProcAddress("glGetProgramivARB")))(0x8804, 0x88A1,
                                                                                                      &value);
    return value;
}

} // namespace testsupport
