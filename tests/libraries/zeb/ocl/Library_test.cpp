// Loading the OpenCL runtime: the system's OpenCL.dll (Wine's bridge to the
// host's ICD loader) and libraries that are no runtime at all.
#include "zeb/ocl/Library.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/core/system/SystemLibrary.h"
#include "zeb/ocl/ExtensionManager.h"
#include "zeb/ocl/Platform.h"

#include "ScopedDirectory.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

using ZEB::Core::SystemLibrary;
using ZEB::OCL::ExtensionManager;
using ZEB::OCL::Library;

namespace {

class OpenCLLibrary : public ::testing::Test {
protected:
    void TearDown() override { Library::terminate(); }
};

} // namespace

TEST_F(OpenCLLibrary, AbsentOrBrokenRuntimesAreNotAvailable)
{
    testsupport::ScopedDirectory folder;
    folder.write("vexilon_text.dll", "plain text, not a library");

    EXPECT_FALSE(Library::isOpenCLAvailable(folder.file("vexilon_missing.dll")));
    EXPECT_FALSE(Library::isOpenCLAvailable(folder.file("vexilon_text.dll")));
    EXPECT_FALSE(Library::isOpenCLAvailable(SystemLibrary::path("kernel32.dll"))); // no OpenCL entry points
    EXPECT_FALSE(Library::isInitialized());

    // None of them became the runtime to load: initialize still takes the system's.
    Library::initialize();
    EXPECT_NE(nullptr, GetModuleHandleA(SystemLibrary::path("OpenCL.dll").c_str()));
}

TEST_F(OpenCLLibrary, SystemRuntimeIsAvailableAndLoadsOnInitialize)
{
    EXPECT_THROW(ZEB::OCL::platforms(), ZEB::RuntimeException);

    ASSERT_TRUE(Library::isOpenCLAvailable(""));
    EXPECT_FALSE(Library::isInitialized());
    EXPECT_EQ(nullptr, ExtensionManager::instance());

    Library::initialize();
    EXPECT_TRUE(Library::isInitialized());
    EXPECT_NE(nullptr, ExtensionManager::instance());

    Library::terminate();
    EXPECT_FALSE(Library::isInitialized());
    EXPECT_EQ(nullptr, ExtensionManager::instance());
    EXPECT_THROW(ZEB::OCL::platforms(), ZEB::RuntimeException);
}

TEST_F(OpenCLLibrary, TableHoldsTheEntryPointsAtTheirDispatchPositions)
{
    Library::initialize();
    HMODULE runtime = GetModuleHandleA(SystemLibrary::path("OpenCL.dll").c_str());
    ASSERT_NE(nullptr, runtime);

    // The tool's measurement indexes the table by these positions.
    const std::pair<int, const char*> positions[] = {
        {0, "clGetPlatformIDs"},     {14, "clCreateBuffer"},          {18, "clReleaseMemObject"},
        {44, "clReleaseEvent"},      {45, "clGetEventProfilingInfo"}, {47, "clFinish"},
        {48, "clEnqueueReadBuffer"}, {50, "clEnqueueCopyBuffer"},
    };
    void* const* slots = reinterpret_cast<void* const*>(&ExtensionManager::instance()->table());
    for (const auto& position : positions) {
        void* exported = reinterpret_cast<void*>(GetProcAddress(runtime, position.second));
        ASSERT_NE(nullptr, exported) << position.second;
        EXPECT_EQ(exported, slots[position.first]) << position.second;
    }
}
