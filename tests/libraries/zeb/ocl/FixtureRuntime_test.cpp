// The test OpenCL runtime through the layer, in a child process started with
// the environment the tool gets.
#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ocl/CommandQueue.h"
#include "zeb/ocl/Context.h"
#include "zeb/ocl/ContextProperties.h"
#include "zeb/ocl/ExtensionManager.h"
#include "zeb/ocl/Library.h"
#include "zeb/ocl/Platform.h"

#include "OpenCLFixture.h"

#include <gtest/gtest.h>

using namespace ZEB::OCL;
using testsupport::OpenCLFixture;

namespace {

// A 16 MiB copy on a profiling queue, as the bandwidth measurement makes it:
// "<code> <profiled ns>", or the layer's failure.
std::string Copy(const ContextProperties& properties, const Device& device)
{
    try {
        const size_t size = 16777216;
        Context context(properties, device, Context::NotifyCallback());
        CommandQueue queue(context, device, false, true);
        const cl_icd_dispatch& cl = ExtensionManager::instance()->table();
        cl_mem source = cl.clCreateBuffer(context.handle(), CL_MEM_READ_ONLY, size, nullptr, nullptr);
        cl_mem destination = cl.clCreateBuffer(context.handle(), CL_MEM_WRITE_ONLY, size, nullptr, nullptr);
        cl_event event = nullptr;
        cl_ulong start = 0, end = 0;
        cl_int result = cl.clEnqueueCopyBuffer(queue.handle(), source, destination, 0, 0, size, 0, nullptr, &event);
        if (result == CL_SUCCESS && cl.clFinish(queue.handle()) == CL_SUCCESS) {
            result = cl.clGetEventProfilingInfo(event, CL_PROFILING_COMMAND_START, sizeof start, &start, nullptr);
            cl.clGetEventProfilingInfo(event, CL_PROFILING_COMMAND_END, sizeof end, &end, nullptr);
            cl.clReleaseEvent(event);
        }
        cl.clReleaseMemObject(source);
        cl.clReleaseMemObject(destination);
        return std::to_string(result) + " " + std::to_string(end - start);
    } catch (const ZEB::RuntimeException& exception) {
        return exception.what();
    }
}

} // namespace

TEST(OpenCLFixtureRuntime, PlatformsAndDevicesAnswerAsDescribed)
{
    using Options = OpenCLFixture::DeviceOptions;
    const OpenCLFixture fixture = OpenCLFixture()
                                      .addPlatform("OpenCL 1.1 CUDA 4.2.1")
                                      .addCpuDevice()
                                      .addGpuDevice(Options().rate(0.5))
                                      .addGpuDevice(Options().rate(3))
                                      .addGpuDevice()
                                      .addPlatform("OpenCL 1.2 vendor-suffix")
                                      .addGpuDevice(Options().failContext(-2))
                                      .addGpuDevice(Options().failCopy(-5));
    if (OpenCLFixture::RerunInChild(fixture.environment())) {
        return;
    }
    Library::initialize();
    const std::vector<Platform> found = platforms();
    // The host's PoCL is not among them; ocl-icd puts platforms with more GPUs first.
    ASSERT_EQ(2u, found.size());
    EXPECT_EQ("OpenCL 1.1 CUDA 4.2.1", found[0].version());
    EXPECT_EQ("OpenCL 1.2 vendor-suffix", found[1].version());
    EXPECT_EQ("Vexilon fixture CPU 0.0", found[0].devices(Device::TYPE_CPU).at(0).name());
    std::vector<std::string> copies;
    for (const Platform& platform : found) {
        for (const Device& device : platform.devices(Device::TYPE_GPU)) {
            copies.push_back(device.name() + ": " + Copy(ContextProperties(platform), device));
        }
    }
    // The code and 2 * size / rate ns, rounded down; 1 ns without a rate.
    EXPECT_EQ((std::vector<std::string>{"Vexilon fixture GPU 0.1: 0 67108864", "Vexilon fixture GPU 0.2: 0 11184810",
                                        "Vexilon fixture GPU 0.3: 0 1",
                                        "Vexilon fixture GPU 1.0: clCreateContext failed: -2",
                                        "Vexilon fixture GPU 1.1: -5 0"}),
              copies);
}
