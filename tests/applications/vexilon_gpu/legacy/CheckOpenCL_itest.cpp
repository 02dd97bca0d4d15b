// The legacy OpenCL check on the OpenCL fixture, in child processes: it runs
// once per process and the runtime is chosen when a process starts.
#include "legacy/CheckOpenCL.h"

#include "OpenCLFixture.h"

#include "zeb/ogl/ContextOffscreen.h"

#include <gtest/gtest.h>

using testsupport::OpenCLFixture;
using Options = OpenCLFixture::DeviceOptions;

namespace {

ZEB::OGL::ContextOffscreen* NewContext()
{
#ifdef _WIN32
    return new ZEB::OGL::ContextOffscreen(ZEB::OGL::Context::primaryDisplayDevice());
#else
    return new ZEB::OGL::ContextOffscreen(ZEB::OGL::EGLDevice::all().at(0));
#endif
}

} // namespace

TEST(LegacyCheckOpenCL, VersionOneZeroAnywhereAfterThePrefixExcludesTheDeviceAndTheCheckRunsOnce)
{
    OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.0 old").addGpuDevice();
    fixture.addPlatform("OpenCL 1.2 CUDA 1.0").addGpuDevice();
    fixture.addPlatform("OpenCL 2.0 slow").addGpuDevice(Options().rate(2)).addGpuDevice(Options().rate(2));
    fixture.addPlatform("OpenCL 3.0 none").addCpuDevice();
    if (OpenCLFixture::RerunInChild(fixture.environment())) {
        return;
    }
    const std::unique_ptr<ZEB::OGL::ContextOffscreen> context(NewContext());
    std::string version;
    EXPECT_FALSE(CheckOpenCL(context.get(), &version));
    EXPECT_EQ("2.0 slow", version);
    ASSERT_EQ(2u, MeasuredOpenCLDevices().size());
    for (const DeviceInfo& device : MeasuredOpenCLDevices()) {
        // Below the threshold the draws are measured too, but a fixture
        // leaves them untimed (rate 0): the device's own rate stands.
        EXPECT_EQ(2u, device.rate);
    }
    // Once per process: the answer stands, nothing is measured or written again.
    std::string again;
    EXPECT_FALSE(CheckOpenCL(context.get(), &again));
    EXPECT_EQ("", again);
    EXPECT_EQ(2u, MeasuredOpenCLDevices().size());
}

TEST(LegacyCheckOpenCL, FailingDeviceEndsItsPlatformAndTheVersionIsTheLastMeasured)
{
    OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.1 first")
        .addGpuDevice(Options().rate(4))
        .addGpuDevice(Options().failCopy(-5))
        .addGpuDevice(Options().rate(4));
    fixture.addPlatform("OpenCL 1.2 last").addGpuDevice(Options().rate(2));
    if (OpenCLFixture::RerunInChild(fixture.environment())) {
        return;
    }
    const std::unique_ptr<ZEB::OGL::ContextOffscreen> context(NewContext());
    std::string version;
    CheckOpenCL(context.get(), &version);
    // The failing device is not listed and the one after it never reached;
    // the next platform's slower device leaves its text behind.
    EXPECT_EQ(2u, MeasuredOpenCLDevices().size());
    EXPECT_EQ("1.2 last", version);
}
