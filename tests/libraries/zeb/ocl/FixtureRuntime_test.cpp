// The OpenCL runtime of tests/fixtures, found where the tool finds the real
// one. Each test runs in a child process started with the fixture's
// environment, as the tool is in the tests that use the fixture.
#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ocl/CommandQueue.h"
#include "zeb/ocl/Context.h"
#include "zeb/ocl/ContextProperties.h"
#include "zeb/ocl/Library.h"
#include "zeb/ocl/Platform.h"

#include "BufferCopy.h"
#include "OpenCLFixture.h"

#include <gtest/gtest.h>

#include <CL/cl_gl.h>

#include <map>
#include <string>
#include <vector>

using namespace ZEB::OCL;
using testsupport::OpenCLFixture;

namespace {

const size_t kCopySize = 16777216;

class FixtureRuntime : public ::testing::Test {
protected:
    void TearDown() override { Library::terminate(); }

    static std::vector<std::string> Names(const std::vector<Device>& devices)
    {
        std::vector<std::string> names;
        for (const Device& device : devices) {
            names.push_back(device.name());
        }
        return names;
    }
};

} // namespace

TEST_F(FixtureRuntime, PlatformsKeepTheirVersionTextsAndDevices)
{
    const OpenCLFixture fixture = OpenCLFixture()
                                      .addPlatform("OpenCL 1.1 CUDA 4.2.1")
                                      .addGpuDevice()
                                      .addGpuDevice()
                                      .addPlatform("OpenCL 1.2 vendor-suffix")
                                      .addCpuDevice()
                                      .addGpuDevice()
                                      .addPlatform("OpenCL 1.0")
                                      .addCpuDevice();
    if (OpenCLFixture::RerunInChild(fixture.environment())) {
        return;
    }
    ASSERT_TRUE(Library::isOpenCLAvailable(""));
    Library::initialize();
    const std::vector<Platform> found = platforms();
    ASSERT_EQ(3u, found.size()); // the host's PoCL is not among them
    EXPECT_EQ("OpenCL 1.1 CUDA 4.2.1", found[0].version());
    EXPECT_EQ("OpenCL 1.2 vendor-suffix", found[1].version());
    EXPECT_EQ("OpenCL 1.0", found[2].version());

    EXPECT_EQ((std::vector<std::string>{"Vexilon fixture GPU 0.0", "Vexilon fixture GPU 0.1"}),
              Names(found[0].devices(Device::TYPE_GPU)));
    EXPECT_EQ((std::vector<std::string>{"Vexilon fixture GPU 1.1"}), Names(found[1].devices(Device::TYPE_GPU)));
    EXPECT_EQ((std::vector<std::string>{"Vexilon fixture CPU 1.0", "Vexilon fixture GPU 1.1"}),
              Names(found[1].devices(Device::TYPE_ALL)));
    EXPECT_TRUE(found[2].devices(Device::TYPE_GPU).empty());
}

TEST_F(FixtureRuntime, UnreadableDescriptionGivesNoPlatform)
{
    OpenCLFixture fixture;
    std::map<std::string, std::string> environment = fixture.environment();
    environment["VEXILON_OCL_FIXTURE"] = "OpenCL 1.2|tpu";
    if (OpenCLFixture::RerunInChild(environment)) {
        return;
    }
    Library::initialize();
    EXPECT_TRUE(platforms().empty());
}

TEST_F(FixtureRuntime, SharingPropertiesReachTheDriver)
{
    if (OpenCLFixture::RerunInChild(OpenCLFixture().addPlatform("OpenCL 1.2").addGpuDevice().environment())) {
        return;
    }
    Library::initialize();
    const Platform platform = platforms().at(0);
    const Device device = platform.devices(Device::TYPE_GPU).at(0);
    ContextProperties properties(platform);
    properties.setSharedRenderContext(reinterpret_cast<ContextProperties::RenderContext>(0x10000));
    properties.setDisplayContext(reinterpret_cast<ContextProperties::DisplayContext>(0x20000));

    Context context(properties, device, Context::NotifyCallback());
    // The driver answers with the list it was given.
    size_t size = 0;
    ASSERT_EQ(CL_SUCCESS,
              ocltest::Table().clGetContextInfo(context.handle(), CL_CONTEXT_PROPERTIES, 0, nullptr, &size));
    std::vector<cl_context_properties> received(size / sizeof(cl_context_properties));
    ASSERT_EQ(CL_SUCCESS, ocltest::Table().clGetContextInfo(context.handle(), CL_CONTEXT_PROPERTIES, size,
                                                            received.data(), nullptr));
    EXPECT_EQ(std::vector<cl_context_properties>(properties.data(), properties.data() + 7), received);
}

TEST_F(FixtureRuntime, CopiesMoveTheBytesInTheTimeOfTheirRate)
{
    using Options = OpenCLFixture::DeviceOptions;
    const OpenCLFixture fixture =
        OpenCLFixture().addPlatform("OpenCL 1.2").addGpuDevice().addGpuDevice(Options().rate(0.5)).addGpuDevice(
            Options().rate(3));
    if (OpenCLFixture::RerunInChild(fixture.environment())) {
        return;
    }
    Library::initialize();
    const Platform platform = platforms().at(0);
    std::vector<unsigned char> pattern(kCopySize);
    for (size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<unsigned char>(i * 7 + i / 4096);
    }
    // 2 * size / rate, rounded down, whatever the machine; 0: the real time.
    const cl_ulong expected[] = {0, 67108864, 11184810};
    for (int i = 0; i < 3; ++i) {
        const Device device = platform.devices(Device::TYPE_GPU).at(i);
        Context context(ContextProperties(platform), device, Context::NotifyCallback());
        CommandQueue queue(context, device, false, true);
        ocltest::BufferCopy buffers(context, kCopySize);
        ASSERT_EQ(CL_SUCCESS, ocltest::Table().clEnqueueWriteBuffer(queue.handle(), buffers.source(), CL_TRUE, 0,
                                                                    kCopySize, pattern.data(), 0, nullptr, nullptr));
        cl_ulong nanoseconds = 0;
        ASSERT_EQ(CL_SUCCESS, buffers.copy(queue, &nanoseconds));
        if (expected[i] == 0) {
            EXPECT_GT(nanoseconds, 0u);
        } else {
            EXPECT_EQ(expected[i], nanoseconds) << i;
        }
        std::vector<unsigned char> copied(kCopySize);
        ASSERT_EQ(CL_SUCCESS, ocltest::Table().clEnqueueReadBuffer(queue.handle(), buffers.destination(), CL_TRUE, 0,
                                                                   kCopySize, copied.data(), 0, nullptr, nullptr));
        EXPECT_TRUE(copied == pattern) << i;
    }
}

TEST_F(FixtureRuntime, FailureSwitchesGiveTheirCodes)
{
    const OpenCLFixture fixture = OpenCLFixture()
                                      .addPlatform("OpenCL 1.2")
                                      .addGpuDevice(OpenCLFixture::DeviceOptions().failContext(-2))
                                      .addGpuDevice(OpenCLFixture::DeviceOptions().failCopy(-5))
                                      .addGpuDevice();
    if (OpenCLFixture::RerunInChild(fixture.environment())) {
        return;
    }
    Library::initialize();
    const Platform platform = platforms().at(0);
    const std::vector<Device> devices = platform.devices(Device::TYPE_GPU);
    ASSERT_EQ(3u, devices.size());

    try {
        Context context(ContextProperties(platform), devices[0], Context::NotifyCallback());
        ADD_FAILURE() << "the context was made";
    } catch (const ZEB::RuntimeException& exception) {
        EXPECT_STREQ("clCreateContext failed: -2", exception.what());
    }

    cl_ulong nanoseconds = 0;
    {
        Context context(ContextProperties(platform), devices[1], Context::NotifyCallback());
        CommandQueue queue(context, devices[1], false, true);
        EXPECT_EQ(-5, ocltest::BufferCopy(context, 4096).copy(queue, &nanoseconds));
    }
    Context context(ContextProperties(platform), devices[2], Context::NotifyCallback());
    CommandQueue queue(context, devices[2], false, true);
    EXPECT_EQ(CL_SUCCESS, ocltest::BufferCopy(context, 4096).copy(queue, &nanoseconds));
}

TEST_F(FixtureRuntime, HostDriversComeBackWhenTheLastFixtureGoes)
{
    {
        const OpenCLFixture first;
        const OpenCLFixture second;
    }
    if (OpenCLFixture::RerunInChild(OpenCLFixture::HostDrivers())) {
        return;
    }
    Library::initialize();
    const std::vector<Platform> found = platforms();
    ASSERT_FALSE(found.empty());
    for (const Platform& platform : found) {
        EXPECT_NE(std::string::npos, platform.version().find("PoCL")) << platform.version();
    }
}
