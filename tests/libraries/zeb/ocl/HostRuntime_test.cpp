// The host's own OpenCL driver (PoCL: one CPU device, no GPU device), reached
// through the system's runtime as the tool reaches it.
#include "zeb/ocl/CommandQueue.h"
#include "zeb/ocl/Context.h"
#include "zeb/ocl/ContextProperties.h"
#include "zeb/ocl/Library.h"
#include "zeb/ocl/Platform.h"

#include "BufferCopy.h"

#include <gtest/gtest.h>

using namespace ZEB::OCL;

namespace {

class HostOpenCL : public ::testing::Test {
protected:
    void TearDown() override { Library::terminate(); }

    // PoCL's platform; fails the test when there is none.
    static bool FindPocl(Platform* found)
    {
        for (const Platform& platform : platforms()) {
            if (platform.version().find("PoCL") != std::string::npos) {
                *found = platform;
                return true;
            }
        }
        ADD_FAILURE() << "no PoCL platform";
        return false;
    }
};

} // namespace

TEST_F(HostOpenCL, PoclHasNoGpuDevice)
{
    ASSERT_TRUE(Library::isOpenCLAvailable(""));
    Library::initialize();
    Platform pocl(nullptr);
    ASSERT_TRUE(FindPocl(&pocl));
    EXPECT_TRUE(pocl.devices(Device::TYPE_GPU).empty());
    EXPECT_FALSE(pocl.devices(Device::TYPE_CPU).empty());
}

TEST_F(HostOpenCL, PoclCpuDeviceCopiesOnAProfilingQueue)
{
    Library::initialize();
    Platform pocl(nullptr);
    ASSERT_TRUE(FindPocl(&pocl));
    EXPECT_EQ(0u, pocl.version().find("OpenCL "));
    const std::vector<Device> devices = pocl.devices(Device::TYPE_ALL);
    ASSERT_FALSE(devices.empty());

    Context context(ContextProperties(pocl), devices[0], Context::NotifyCallback());
    CommandQueue queue(context, devices[0], false, true);
    ocltest::BufferCopy buffers(context, 1 << 22);
    cl_ulong nanoseconds = 0;
    ASSERT_EQ(CL_SUCCESS, buffers.copy(queue, &nanoseconds));
    EXPECT_GT(nanoseconds, 0u);
}
