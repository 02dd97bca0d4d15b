#include "OpenCLFixture.h"

#include "ChildProcess.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <locale>
#include <sstream>

namespace testsupport {

OpenCLFixture::DeviceOptions& OpenCLFixture::DeviceOptions::rate(double bytesPerNanosecond)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << " rate=" << bytesPerNanosecond;
    text_ += text.str();
    return *this;
}

OpenCLFixture::DeviceOptions& OpenCLFixture::DeviceOptions::failContext(int errorCode)
{
    text_ += " fail-context=" + std::to_string(errorCode);
    return *this;
}

OpenCLFixture::DeviceOptions& OpenCLFixture::DeviceOptions::failCopy(int errorCode)
{
    text_ += " fail-copy=" + std::to_string(errorCode);
    return *this;
}

OpenCLFixture& OpenCLFixture::addPlatform(const std::string& version)
{
    description_ += (description_.empty() ? "" : ";") + version;
    return *this;
}

OpenCLFixture& OpenCLFixture::addGpuDevice(const DeviceOptions& options) { return addDevice("gpu", options); }

OpenCLFixture& OpenCLFixture::addCpuDevice(const DeviceOptions& options) { return addDevice("cpu", options); }

OpenCLFixture& OpenCLFixture::addDevice(const char* type, const DeviceOptions& options)
{
    description_ += std::string("|") + type + options.text();
    return *this;
}

bool OpenCLFixture::RerunInChild(const std::map<std::string, std::string>& environment)
{
    // The variable names the one test that the child runs for real.
    const char kChildVariable[] = "VEXILON_OPENCL_CHILD_TEST";
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(test->test_suite_name()) + "." + test->name();
    const char* marker = std::getenv(kChildVariable);
    if (marker != nullptr && name == marker) {
        return false;
    }
    std::map<std::string, std::string> variables = environment;
    variables[kChildVariable] = name;
    const ProcessResult result =
        ChildProcess::Run(TestEnvironment::CurrentProgram(), {"--gtest_filter=" + name, "--gtest_color=no"},
                          std::string(), variables, 5 * 60 * 1000);
    // A filter that matched nothing would pass as well: the count tells.
    EXPECT_TRUE(!result.timedOut && result.exitCode == 0 && result.out.find("[  PASSED  ] 1 test.") != std::string::npos)
        << "the child running " << name << " ended with " << result.exitCode << ":\n"
        << result.out << result.err;
    return true;
}

} // namespace testsupport
