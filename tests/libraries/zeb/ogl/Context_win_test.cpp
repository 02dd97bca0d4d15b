#include "OglTestSupport.h"

#include "GlxInfo.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/ExtensionManager.h"

#include <gmock/gmock.h>

#include <cstring>
#include <stdexcept>
#include <vector>

using ZEB::OGL::Context;
using ZEB::OGL::ContextOffscreen;
using ZEB::OGL::ScopedContextWrapper;
using ::testing::HasSubstr;

namespace {

// The attached display devices, counted with Win32 itself.
std::vector<DISPLAY_DEVICEA> AttachedDevices(DWORD* total = nullptr)
{
    std::vector<DISPLAY_DEVICEA> attached;
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof(device);
    DWORD index = 0;
    for (; EnumDisplayDevicesA(nullptr, index, &device, 0); ++index) {
        if (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) {
            attached.push_back(device);
        }
        device.cb = sizeof(device);
    }
    if (total != nullptr) {
        *total = index;
    }
    return attached;
}

class ContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZEB::OGL::Library::initialize(ZEB::OGL::Library::InitOptions());
        wglMakeCurrent(nullptr, nullptr);
    }
    void TearDown() override { wglMakeCurrent(nullptr, nullptr); }
};

} // namespace

TEST_F(ContextTest, LibraryToleratesRepeatedInitializeAndTerminate)
{
    ZEB::OGL::Library::initialize(ZEB::OGL::Library::InitOptions());
    EXPECT_TRUE(ZEB::OGL::Library::isInitialized());
    ZEB::OGL::Library::terminate();
    ZEB::OGL::Library::terminate();
    EXPECT_FALSE(ZEB::OGL::Library::isInitialized());
    ZEB::OGL::Library::initialize(ZEB::OGL::Library::InitOptions());
    EXPECT_TRUE(ZEB::OGL::Library::isInitialized());
    ContextOffscreen context(Context::primaryDisplayDevice());
    EXPECT_NE(nullptr, context.renderContext());
}

TEST_F(ContextTest, DisplayDevicePastTheEndClearsARecordThatHeldAnAttachedDevice)
{
    DWORD total = 0;
    ASSERT_FALSE(AttachedDevices(&total).empty());

    DISPLAY_DEVICEA record;
    Context::displayDevice(0, record);
    ASSERT_NE(0u, record.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP);
    Context::displayDevice(total, record);
    EXPECT_EQ(0u, record.StateFlags);
    EXPECT_STREQ("", record.DeviceName);

    Context::displayDevice(0, record);
    Context::displayDevice(total + 1000, record);
    EXPECT_EQ(0u, record.StateFlags);
}

TEST_F(ContextTest, PrimaryDisplayDeviceIsTheOneFlaggedPrimary)
{
    const DISPLAY_DEVICEA primary = Context::primaryDisplayDevice();
    EXPECT_NE(0u, primary.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE);
    EXPECT_NE(0u, primary.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP);
}

TEST_F(ContextTest, EachAttachedDeviceGetsAContextThatAnswersLikeGlxinfo)
{
    const testsupport::GlxInfo glx = testsupport::GlxInfo::FromTestbed();
    ASSERT_FALSE(glx.version().empty()) << "the test bed's glxinfo capture has no compatibility-profile version";

    for (const DISPLAY_DEVICEA& device : AttachedDevices()) {
        SCOPED_TRACE(device.DeviceName);
        ContextOffscreen context(device);
        ASSERT_NE(nullptr, context.deviceContext());
        ASSERT_NE(nullptr, context.renderContext());
        ASSERT_NE(nullptr, context.window());
        EXPECT_FALSE(IsWindowVisible(context.window()));

        ScopedContextWrapper scope;
        context.makeCurrent();
        EXPECT_EQ(context.renderContext(), wglGetCurrentContext());
        EXPECT_EQ(glx.vendor(), ogltest::GLString(GL_VENDOR));
        EXPECT_EQ(glx.renderer(), ogltest::GLString(GL_RENDERER));
        EXPECT_EQ(glx.version(), ogltest::GLString(GL_VERSION));
        EXPECT_THAT(ogltest::GLString(GL_VERSION), HasSubstr("Compatibility Profile"));
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    }
}

TEST_F(ContextTest, ScopedContextWrapperRestoresThePreviousContext)
{
    const DISPLAY_DEVICEA primary = Context::primaryDisplayDevice();
    ContextOffscreen outer(primary);
    ContextOffscreen inner(primary);

    outer.makeCurrent();
    {
        ScopedContextWrapper scope;
        inner.makeCurrent();
        EXPECT_EQ(inner.renderContext(), wglGetCurrentContext());
    }
    EXPECT_EQ(outer.renderContext(), wglGetCurrentContext());
    EXPECT_EQ(outer.deviceContext(), wglGetCurrentDC());

    // Also when an exception leaves the scope.
    try {
        ScopedContextWrapper scope;
        inner.makeCurrent();
        throw std::runtime_error("leaving the scope");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(outer.renderContext(), wglGetCurrentContext());

    // "None" is restored as none.
    wglMakeCurrent(nullptr, nullptr);
    {
        ScopedContextWrapper scope;
        inner.makeCurrent();
    }
    EXPECT_EQ(nullptr, wglGetCurrentContext());
}

TEST_F(ContextTest, DestroyingTheCurrentContextLeavesNoneCurrentAndForgetsItsManager)
{
    std::unique_ptr<ContextOffscreen> context(new ContextOffscreen(Context::primaryDisplayDevice()));
    context->makeCurrent();
    ASSERT_NE(nullptr, ZEB::OGL::ExtensionManager::Instance());
    context.reset();
    EXPECT_EQ(nullptr, wglGetCurrentContext());
    EXPECT_EQ(nullptr, ZEB::OGL::ExtensionManager::Instance());
}

TEST_F(ContextTest, DestroyingAnotherContextKeepsTheCurrentOne)
{
    const DISPLAY_DEVICEA primary = Context::primaryDisplayDevice();
    ContextOffscreen current(primary);
    current.makeCurrent();
    { ContextOffscreen other(primary); }
    EXPECT_EQ(current.renderContext(), wglGetCurrentContext());
}

TEST_F(ContextTest, AFailedConstructionThrowsAFrameworkExceptionNamingTheStep)
{
    DISPLAY_DEVICEA bogus = Context::primaryDisplayDevice();
    std::strcpy(bogus.DeviceName, "\\\\.\\NO_SUCH_DISPLAY");
    try {
        ContextOffscreen context(bogus);
        FAIL() << "a context on a device that does not exist";
    } catch (const ZEB::RuntimeException& e) {
        EXPECT_THAT(e.what(), HasSubstr("EnumDisplaySettingsA"));
        EXPECT_THAT(e.what(), HasSubstr("NO_SUCH_DISPLAY"));
    }
    EXPECT_EQ(nullptr, wglGetCurrentContext());
}

class GlxinfoCaptureTest : public ogltest::CurrentContextTest {
};

TEST_F(GlxinfoCaptureTest, AgreesWithTheContext)
{
    const testsupport::GlxInfo glx = testsupport::GlxInfo::FromTestbed();
    const std::set<std::string> advertised = ogltest::Words(ogltest::GLString(GL_EXTENSIONS));
    ASSERT_GT(glx.extensions().size(), 100u);
    for (const std::string& name : advertised) {
        if (name.compare(0, 4, "WGL_") == 0) {
            continue;  // Wine's own, added to the GL's list
        }
        EXPECT_EQ(1u, glx.extensions().count(name)) << name << " is advertised but glxinfo did not list it";
    }
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    EXPECT_EQ(maxTextureSize, glx.limit("GL_MAX_TEXTURE_SIZE"));
    GLint maxRectangleSize = 0;
    glGetIntegerv(0x84F8, &maxRectangleSize);
    EXPECT_EQ(maxRectangleSize, glx.limit("GL_MAX_RECTANGLE_TEXTURE_SIZE_NV", "GL_NV_texture_rectangle"));
}
