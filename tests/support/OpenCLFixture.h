#pragma once

#include <map>
#include <memory>
#include <string>

namespace testsupport {

// An OpenCL runtime of the test's own description (tests/fixtures/opencl),
// where the tool looks for the real one. environment() is what a child needs
// to see it; each process reads the description from its own environment:
//
//   const OpenCLFixture fixture = OpenCLFixture()
//       .addPlatform("OpenCL 1.1 CUDA 4.2.1")
//       .addGpuDevice()
//       .addGpuDevice(OpenCLFixture::DeviceOptions().rate(2));
//   ToolRunner::Run({"--qz4"}, fixture.environment());
//
// A device with a rate is measured at exactly that rate, and while a fixture
// is in use GL draws are not timed (the timer query is hidden), so no outcome
// depends on the machine. On Windows, while any OpenCLFixture lives,
// vexilon_gpu.exe and this test program load the fixture's OpenCL.dll instead
// of Wine's; on Linux the child's OCL_ICD_VENDORS names the fixture's ICD.
// tests/fixtures/README.md describes the format of the description.
class OpenCLFixture {
public:
    class DeviceOptions {
    public:
        // Bytes per nanosecond, each byte counted once read and once
        // written: every copy on the device reports the time this takes.
        DeviceOptions& rate(double bytesPerNanosecond);
        // clCreateContext on the device fails with this (negative) OpenCL code.
        DeviceOptions& failContext(int errorCode);
        // clEnqueueCopyBuffer on the device fails with this (negative) OpenCL code.
        DeviceOptions& failCopy(int errorCode);

        // The options as the description writes them, each after a blank.
        std::string text() const { return text_; }

    private:
        std::string text_;
    };

    // On Windows, puts the fixture's OpenCL.dll in place (once for all fixtures alive).
    OpenCLFixture();

    // A platform whose version text is exactly the one given.
    OpenCLFixture& addPlatform(const std::string& version);
    // Devices of the platform added last.
    OpenCLFixture& addGpuDevice(const DeviceOptions& options = DeviceOptions());
    OpenCLFixture& addCpuDevice(const DeviceOptions& options = DeviceOptions());

    // The value of VEXILON_OCL_FIXTURE.
    const std::string& description() const { return description_; }
    // The variables to set in a child: platforms in the order they were added.
    std::map<std::string, std::string> environment() const;

    // The variables for a child that is to see the host's drivers alone
    // (PoCL here: one CPU device, no GPU device). On Windows it throws
    // std::logic_error while an OpenCLFixture lives, as the child would get
    // the fixture's OpenCL.dll then.
    static std::map<std::string, std::string> HostDrivers();

    // Runs the calling test again in a child process of this test program,
    // with the environment given. In that child it returns false and the test
    // goes on; in the parent it waits for the child, fails the test with the
    // child's output unless the child passed it, and returns true.
    //
    //   if (OpenCLFixture::RerunInChild(fixture.environment())) return;
    static bool RerunInChild(const std::map<std::string, std::string>& environment);

private:
    class Installation;

    OpenCLFixture& addDevice(const char* type, const DeviceOptions& options);

    std::shared_ptr<Installation> installation_;
    std::string description_;
};

} // namespace testsupport
