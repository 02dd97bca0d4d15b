// Offscreen contexts on EGL's device platform, checked against what plain EGL
// reports for the same device.
#include "OglTestSupport.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/EGLDevice.h"
#include "zeb/ogl/ExtensionManager.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <gmock/gmock.h>

#include <stdexcept>

using ZEB::OGL::ContextOffscreen;
using ZEB::OGL::EGLDevice;
using ZEB::OGL::ScopedContextWrapper;
using ::testing::HasSubstr;

namespace {

// What a context on the device answers, read with nothing but EGL and GL.
struct Reading {
    std::string vendor, renderer, version, shadingLanguage, driver;
    GLint maxTextureSize = 0;
};

Reading ReadWithPlainEGL(EGLDeviceEXT device)
{
    const auto getDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    const auto getDriverName =
        reinterpret_cast<PFNEGLGETDISPLAYDRIVERNAMEPROC>(eglGetProcAddress("eglGetDisplayDriverName"));
    const EGLDisplay display = getDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_NONE};
    const EGLint pbufferAttributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglInitialize(display, nullptr, nullptr) || !eglBindAPI(EGL_OPENGL_API) ||
        !eglChooseConfig(display, configAttributes, &config, 1, &count) || count != 1) {
        throw std::runtime_error("plain EGL: no display or config");
    }
    const EGLSurface surface = eglCreatePbufferSurface(display, config, pbufferAttributes);
    const EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    Reading reading;
    if (eglMakeCurrent(display, surface, surface, context)) {
        reading.vendor = ogltest::GLString(GL_VENDOR);
        reading.renderer = ogltest::GLString(GL_RENDERER);
        reading.version = ogltest::GLString(GL_VERSION);
        reading.shadingLanguage = ogltest::GLString(0x8B8C);  // GL_SHADING_LANGUAGE_VERSION
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &reading.maxTextureSize);
        const char* driver = getDriverName != nullptr ? getDriverName(display) : nullptr;
        reading.driver = driver != nullptr ? driver : "";
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglDestroySurface(display, surface);
    eglTerminate(display);
    return reading;
}

class EGLContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const EGLDevice& device : EGLDevice::all()) {
            if (device.isSoftware()) {
                device_.reset(new EGLDevice(device));
            }
        }
        ASSERT_NE(nullptr, device_) << "EGL lists no software device";
        ogltest::ReleaseCurrent();
    }
    void TearDown() override { ogltest::ReleaseCurrent(); }

    std::unique_ptr<EGLDevice> device_;
};

} // namespace

TEST_F(EGLContextTest, TheSoftwareDeviceHasNoDrmNodeOrCudaIndex)
{
    // Mesa's software device advertises the render-node query and answers NULL.
    EXPECT_THAT(device_->extensions(), HasSubstr("EGL_MESA_device_software"));
    EXPECT_EQ("", device_->drmRenderNode());
    EXPECT_EQ("", device_->drmDeviceFile());
    EXPECT_EQ(-1, device_->cudaDevice());
}

TEST_F(EGLContextTest, AContextAnswersLikeAPlainEGLContextOnTheSameDevice)
{
    const Reading plain = ReadWithPlainEGL(device_->handle());
    ASSERT_FALSE(plain.version.empty());

    ContextOffscreen context(*device_);
    ScopedContextWrapper scope;
    context.makeCurrent();
    EXPECT_EQ(plain.vendor, ogltest::GLString(GL_VENDOR));
    EXPECT_EQ(plain.renderer, ogltest::GLString(GL_RENDERER));
    EXPECT_EQ(plain.version, ogltest::GLString(GL_VERSION));
    EXPECT_EQ(plain.shadingLanguage, ogltest::GLString(0x8B8C));
    EXPECT_THAT(ogltest::GLString(GL_VERSION), HasSubstr("Compatibility Profile"));
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    EXPECT_EQ(plain.maxTextureSize, maxTextureSize);
    EXPECT_EQ(plain.driver, context.driverName());
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST_F(EGLContextTest, ScopedContextWrapperRestoresWhatWasCurrent)
{
    ContextOffscreen outer(*device_);
    ContextOffscreen inner(*device_);
    // What is current before the scope: none, then the outer context.
    const ContextOffscreen* const kBefore[] = {nullptr, &outer};
    for (const ContextOffscreen* before : kBefore) {
        SCOPED_TRACE(before == nullptr ? "none current" : "outer current");
        const EGLContext expected = before == nullptr ? EGL_NO_CONTEXT : before->renderContext();
        if (before != nullptr) {
            before->makeCurrent();
        }
        const EGLSurface draw = eglGetCurrentSurface(EGL_DRAW);
        {
            ScopedContextWrapper scope;
            inner.makeCurrent();
            EXPECT_EQ(inner.renderContext(), eglGetCurrentContext());
        }
        EXPECT_EQ(expected, eglGetCurrentContext());
        EXPECT_EQ(draw, eglGetCurrentSurface(EGL_DRAW));
        try {
            ScopedContextWrapper scope;
            inner.makeCurrent();
            throw std::runtime_error("leaving the scope");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(expected, eglGetCurrentContext());
    }
    EXPECT_EQ(outer.deviceContext(), eglGetCurrentDisplay());
}

TEST_F(EGLContextTest, DestroyingContextsKeepsTheDisplayForTheOthersAndForgetsTheirManagers)
{
    ContextOffscreen current(*device_);
    std::unique_ptr<ContextOffscreen> other(new ContextOffscreen(*device_));
    other->makeCurrent();
    ASSERT_NE(nullptr, ZEB::OGL::ExtensionManager::Instance());
    other.reset();
    EXPECT_EQ(EGL_NO_CONTEXT, eglGetCurrentContext());
    EXPECT_EQ(nullptr, ZEB::OGL::ExtensionManager::Instance());

    // The display they shared still serves the remaining context.
    current.makeCurrent();
    { ContextOffscreen another(*device_); }
    EXPECT_EQ(current.renderContext(), eglGetCurrentContext());
    EXPECT_FALSE(ogltest::GLString(GL_VERSION).empty());
}

TEST_F(EGLContextTest, AFailedConstructionThrowsAFrameworkExceptionNamingTheStep)
{
    const EGLDevice bogus(EGL_NO_DEVICE_EXT, "", "", "", -1);
    try {
        ContextOffscreen context(bogus);
        FAIL() << "a context on no device";
    } catch (const ZEB::RuntimeException& e) {
        EXPECT_THAT(e.what(), HasSubstr("eglGetPlatformDisplayEXT failed"));
    }
    EXPECT_EQ(EGL_NO_CONTEXT, eglGetCurrentContext());
}
