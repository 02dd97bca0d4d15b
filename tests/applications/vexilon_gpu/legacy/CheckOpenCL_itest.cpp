// The legacy OpenCL check on the OpenCL fixture, in child processes: it runs
// once per process and the runtime is chosen when a process starts.
#include "legacy/CheckOpenCL.h"

#include "OpenCLFixture.h"

#include "../../../libraries/zeb/ogl/OglTestSupport.h"

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

    const std::unique_ptr<ZEB::OGL::ContextOffscreen> context = ogltest::NewContext();
    std::string version;
    const bool usable = CheckOpenCL(context.get(), &version);
    EXPECT_EQ("2.0 slow", version);
    ASSERT_EQ(2u, MeasuredOpenCLDevices().size());
    for (const DeviceInfo& device : MeasuredOpenCLDevices()) {
        // Below the threshold the draws are measured too, but a fixture
        // leaves them untimed (rate 0): the device's own rate stands.
        EXPECT_EQ(2u, device.rate);
    }
    EXPECT_FALSE(usable);

    // Once per process: the answer stands, nothing is measured or written again.
    std::string again;
    EXPECT_EQ(usable, CheckOpenCL(context.get(), &again));
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

    const std::unique_ptr<ZEB::OGL::ContextOffscreen> context = ogltest::NewContext();
    std::string version;
    CheckOpenCL(context.get(), &version);
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
    const std::unique_ptr<ZEB::OGL::ContextOffscreen> context = ogltest::NewContext();
    EXPECT_FALSE(CheckOpenCL(context.get(), &version));
    EXPECT_EQ("", version);
    EXPECT_TRUE(MeasuredOpenCLDevices().empty());
}
