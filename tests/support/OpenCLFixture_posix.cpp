#include "OpenCLFixture.h"

#include "TestEnvironment.h"

namespace testsupport {

// Nothing to install: each child names the fixture's ICD itself.
class OpenCLFixture::Installation {};

OpenCLFixture::OpenCLFixture() = default;

std::string OpenCLFixture::runtimePath() { return TestEnvironment::FixtureBuildPath("opencl/libVexilonOpenCLFixture.so"); }

std::map<std::string, std::string> OpenCLFixture::environment() const
{
    // ocl-icd takes a single library as its list of vendors.
    return {{"OCL_ICD_VENDORS", runtimePath()},
            {"VEXILON_OCL_FIXTURE", description_},
            {"MESA_EXTENSION_OVERRIDE", "-GL_ARB_timer_query -GL_EXT_timer_query"}};
}

} // namespace testsupport
