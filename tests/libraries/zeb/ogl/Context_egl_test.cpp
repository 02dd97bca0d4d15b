#include "zeb/ogl/ContextOffscreen.h"
#include "zeb/ogl/EGLDevice.h"
#include "zeb/ogl/ScopedContextWrapper.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <gmock/gmock.h>

#include <vector>

using namespace ZEB::OGL;

namespace {

// EGL driver, vendor, renderer, version and shading language of the current context.
std::vector<std::string> Reading(const char* driver)
{
    std::vector<std::string> reading{driver != nullptr ? driver : ""};
    for (GLenum name : {GLenum(GL_VENDOR), GLenum(GL_RENDERER), GLenum(GL_VERSION), GLenum(0x8B8C)}) {
        const GLubyte* text = glGetString(name);
        reading.push_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
    }
    return reading;
}

std::vector<std::string> ReadWithPlainEGL(EGLDeviceEXT device)
{
    const EGLDisplay display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"))(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_NONE};
    const EGLint pbufferAttributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    std::vector<std::string> reading;
    if (eglInitialize(display, nullptr, nullptr) && eglBindAPI(EGL_OPENGL_API) &&
        eglChooseConfig(display, configAttributes, &config, 1, &count) && count == 1) {
        const EGLSurface surface = eglCreatePbufferSurface(display, config, pbufferAttributes);
        const EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
        if (eglMakeCurrent(display, surface, surface, context)) {
            reading = Reading(reinterpret_cast<PFNEGLGETDISPLAYDRIVERNAMEPROC>(
                eglGetProcAddress("eglGetDisplayDriverName"))(display));
        }
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
        eglDestroySurface(display, surface);
    }
    eglTerminate(display);
    return reading;
}

} // namespace

// A context on each EGL device answers as a plain EGL context on the device does.
TEST(EGLContext, AnswersLikeAPlainEGLContextOnTheSameDevice)
{
    const std::vector<EGLDevice> devices = EGLDevice::all();
    ASSERT_FALSE(devices.empty());
    for (const EGLDevice& device : devices) {
        const std::vector<std::string> plain = ReadWithPlainEGL(device.handle());
        ASSERT_EQ(5u, plain.size());
        EXPECT_THAT(plain[3], ::testing::HasSubstr("Compatibility Profile"));
        ContextOffscreen context(device);
        ScopedContextWrapper scope;
        context.makeCurrent();
        EXPECT_EQ(plain, Reading(context.driverName().c_str()));
    }
}
