// Loading the OpenCL runtime: the system's (Windows: OpenCL.dll, under Wine a
// bridge to the host's ICD loader; Linux: the ICD loader itself) and
// libraries that are no runtime at all.
#include "zeb/ocl/Library.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/core/system/SystemLibrary.h"
#include "zeb/ocl/ExtensionManager.h"
#include "zeb/ocl/Platform.h"
#include "zeb/ocl/Runtime.h"

#include "ScopedDirectory.h"

#include <gtest/gtest.h>

#include <utility>

using ZEB::Core::SystemLibrary;
using ZEB::OCL::ExtensionManager;
using ZEB::OCL::Library;

namespace {

// A library of the system that has no OpenCL entry points, by path.
#ifdef _WIN32
const std::string kNotARuntime = SystemLibrary::path("kernel32.dll");
#else
const std::string kNotARuntime = "libc.so.6";
#endif

// The system runtime's own export of that name.
void* SystemRuntimeExport(const char* name)
{
    SystemLibrary::Handle runtime = SystemLibrary::load(ZEB::OCL::Runtime::systemLibraryName());
    void* entry = SystemLibrary::symbol(runtime, name);
    SystemLibrary::unload(runtime);  // the runtime under test still holds it
    return entry;
}

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
    EXPECT_FALSE(Library::isOpenCLAvailable(kNotARuntime)); // no OpenCL entry points
    EXPECT_FALSE(Library::isInitialized());

    // None of them became the runtime to load: initialize still takes the system's.
    Library::initialize();
    EXPECT_EQ(SystemRuntimeExport("clGetPlatformIDs"),
              reinterpret_cast<void*>(ExtensionManager::instance()->table().clGetPlatformIDs));
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

    // The tool's measurement indexes the table by these positions.
    const std::pair<int, const char*> positions[] = {
        {0, "clGetPlatformIDs"},     {14, "clCreateBuffer"},          {18, "clReleaseMemObject"},
        {44, "clReleaseEvent"},      {45, "clGetEventProfilingInfo"}, {47, "clFinish"},
        {48, "clEnqueueReadBuffer"}, {50, "clEnqueueCopyBuffer"},
    };
    void* const* slots = reinterpret_cast<void* const*>(&ExtensionManager::instance()->table());
    for (const auto& position : positions) {
        void* exported = SystemRuntimeExport(position.second);
        ASSERT_NE(nullptr, exported) << position.second;
        EXPECT_EQ(exported, slots[position.first]) << position.second;
    }
}
