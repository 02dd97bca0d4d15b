#include "OpenCLFixture.h"

#include "ChildProcess.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <locale>
#include <sstream>
#include <stdexcept>

namespace testsupport {

namespace {
// Names the one test that a re-run child is to run for real.
const char kChildVariable[] = "VEXILON_OPENCL_CHILD_TEST";
} // namespace

OpenCLFixture::DeviceOptions& OpenCLFixture::DeviceOptions::rate(double bytesPerNanosecond)
{
    if (!(bytesPerNanosecond > 0)) {
        throw std::invalid_argument("a rate must be positive");
    }
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << " rate=" << bytesPerNanosecond;
    text_ += text.str();
    return *this;
}

OpenCLFixture::DeviceOptions& OpenCLFixture::DeviceOptions::failContext(int errorCode)
{
    if (errorCode >= 0) {
        throw std::invalid_argument("OpenCL error codes are negative");
    }
    text_ += " fail-context=" + std::to_string(errorCode);
    return *this;
}

OpenCLFixture::DeviceOptions& OpenCLFixture::DeviceOptions::failCopy(int errorCode)
{
    if (errorCode >= 0) {
        throw std::invalid_argument("OpenCL error codes are negative");
    }
    text_ += " fail-copy=" + std::to_string(errorCode);
    return *this;
}

OpenCLFixture& OpenCLFixture::addPlatform(const std::string& version)
{
    if (version.empty() || version.find_first_of(";|") != std::string::npos) {
        throw std::invalid_argument("a fixture platform version must be non-empty and without ';' or '|'");
    }
    if (!description_.empty()) {
        description_ += ";";
    }
    description_ += version;
    return *this;
}

OpenCLFixture& OpenCLFixture::addGpuDevice(const DeviceOptions& options) { return addDevice("gpu", options); }

OpenCLFixture& OpenCLFixture::addCpuDevice(const DeviceOptions& options) { return addDevice("cpu", options); }

OpenCLFixture& OpenCLFixture::addDevice(const char* type, const DeviceOptions& options)
{
    if (description_.empty()) {
        throw std::logic_error("add a fixture platform before its devices");
    }
    description_ += std::string("|") + type + options.text();
    return *this;
}

bool OpenCLFixture::RerunInChild(const std::map<std::string, std::string>& environment)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test == nullptr) {
        throw std::logic_error("RerunInChild is for the body of a test");
    }
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
    EXPECT_FALSE(result.timedOut) << "the child running " << name << " timed out";
    // A filter that matched nothing would pass as well: the count tells.
    EXPECT_TRUE(result.exitCode == 0 && result.out.find("[  PASSED  ] 1 test.") != std::string::npos)
        << "the child running " << name << " ended with " << result.exitCode << ":\n"
        << result.out << result.err;
    return true;
}

} // namespace testsupport
