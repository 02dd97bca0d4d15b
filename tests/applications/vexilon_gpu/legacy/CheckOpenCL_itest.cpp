// The legacy OpenCL check on the OpenCL fixture, in child processes: it runs
// once per process and the runtime is chosen when a process starts.
#include "legacy/CheckOpenCL.h"

#include "OpenCLFixture.h"

#include "zeb/ogl/ContextOffscreen.h"

#include <gtest/gtest.h>

using testsupport::OpenCLFixture;

TEST(LegacyCheckOpenCL, VersionOneZeroAnywhereAfterThePrefixExcludesTheDevice)
{
    using Options = OpenCLFixture::DeviceOptions;
    OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.0 old")
        .addGpuDevice()
        .addPlatform("OpenCL 1.2 CUDA 1.0")
        .addGpuDevice()
        .addPlatform("OpenCL 2.0 slow")
        .addGpuDevice(Options().rate(2))
        .addGpuDevice(Options().rate(2))
        .addPlatform("OpenCL 3.0 none")
        .addCpuDevice();
    if (OpenCLFixture::RerunInChild(fixture.environment())) {
        return;
    }

    ZEB::OGL::ContextOffscreen context(ZEB::OGL::Context::primaryDisplayDevice());
    std::string version;
    const bool usable = CheckOpenCL(&context, &version);
    EXPECT_EQ("2.0 slow", version);
    ASSERT_EQ(2u, MeasuredOpenCLDevices().size());
    for (const DeviceInfo& device : MeasuredOpenCLDevices()) {
        // The copy cap, or the llvmpipe draw rate measured in its place:
        // either is far below the threshold.
        EXPECT_GT(device.rate, 0u);
        EXPECT_LT(device.rate, 12u);
    }
    EXPECT_FALSE(usable);

    // Once per process: the answer stands, nothing is measured or written again.
    std::string again;
    EXPECT_EQ(usable, CheckOpenCL(&context, &again));
    EXPECT_EQ("", again);
    EXPECT_EQ(2u, MeasuredOpenCLDevices().size());
}

TEST(LegacyCheckOpenCL, FailingDeviceEndsItsPlatformAndTheVersionIsTheLastMeasured)
{
    using Options = OpenCLFixture::DeviceOptions;
    OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.1 first")
        .addGpuDevice(Options().rate(4))
        .addGpuDevice(Options().failCopy(-5))
        .addGpuDevice(Options().rate(4))
        .addPlatform("OpenCL 1.2 last")
        .addGpuDevice(Options().rate(2));
    if (OpenCLFixture::RerunInChild(fixture.environment())) {
        return;
    }

    ZEB::OGL::ContextOffscreen context(ZEB::OGL::Context::primaryDisplayDevice());
    std::string version;
    CheckOpenCL(&context, &version);
    // The failing device is not listed, the device after it is never
    // reached, the next platform is measured, and its (slower) device's
    // text is the one left behind.
    EXPECT_EQ(2u, MeasuredOpenCLDevices().size());
    EXPECT_EQ("1.2 last", version);
}

TEST(LegacyCheckOpenCL, NoRuntimeDeviceMeansNotUsable)
{
    OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.2 cpu only").addCpuDevice();
    if (OpenCLFixture::RerunInChild(fixture.environment())) {
        return;
    }
    std::string version;
    ZEB::OGL::ContextOffscreen context(ZEB::OGL::Context::primaryDisplayDevice());
    EXPECT_FALSE(CheckOpenCL(&context, &version));
    EXPECT_EQ("", version);
    EXPECT_TRUE(MeasuredOpenCLDevices().empty());
}
