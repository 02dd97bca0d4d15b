#pragma once

#include <map>
#include <memory>
#include <string>

namespace testsupport {

// An OpenCL runtime of the test's own description, where the tool looks for
// the real one: the system directory's OpenCL.dll (tests/fixtures/opencl).
//
// While any OpenCLFixture lives, vexilon_gpu.exe and this test program load
// that OpenCL.dll instead of Wine's (a per-program DLL override of the test
// prefix); each process then reads the description from its own environment,
// so environment() is what a child started in that time needs:
//
//   const OpenCLFixture fixture = OpenCLFixture()
//       .addPlatform("OpenCL 1.1 CUDA 4.2.1")
//       .addGpuDevice()
//       .addGpuDevice(OpenCLFixture::DeviceOptions().rate(2));
//   ToolRunner::Run({"--qz4"}, fixture.environment());
//
// Without a live OpenCLFixture those programs get Wine's OpenCL.dll, which
// reaches the host's own drivers (PoCL: one CPU device, no GPU device).
// tests/fixtures/README.md describes the format of the description.
class OpenCLFixture {
public:
    class DeviceOptions {
    public:
        // Caps the copy rate, in bytes per nanosecond with each byte counted
        // once read and once written: the device waits until a copy has
        // taken that long.
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

    // Puts the fixture's OpenCL.dll in place (once for all fixtures alive).
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

    // The variables for a child that is to see the host's drivers alone.
    // Throws std::logic_error while an OpenCLFixture lives, as the child
    // would get the fixture's OpenCL.dll then.
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
