#pragma once

#include <map>
#include <memory>
#include <string>

namespace testsupport {

// The test OpenCL runtime (tests/fixtures/README.md) with the test's own
// platforms and devices, where the tool looks for the real one; a child sees
// it with environment(). While a fixture is in use GL's timer query is
// hidden, so every device is measured at exactly its rate. Windows: while any
// fixture lives, vexilon_gpu.exe and this program load its OpenCL.dll.
class OpenCLFixture {
public:
    class DeviceOptions {
    public:
        // Bytes per ns, each byte read and written; negative OpenCL codes of
        // clCreateContext and clEnqueueCopyBuffer on the device.
        DeviceOptions& rate(double bytesPerNanosecond);
        DeviceOptions& failContext(int errorCode);
        DeviceOptions& failCopy(int errorCode);

        std::string text() const { return text_; }

    private:
        std::string text_;
    };

    OpenCLFixture();

    // A platform with exactly this version text; devices join the last one.
    OpenCLFixture& addPlatform(const std::string& version);
    OpenCLFixture& addGpuDevice(const DeviceOptions& options = DeviceOptions());
    OpenCLFixture& addCpuDevice(const DeviceOptions& options = DeviceOptions());

    std::map<std::string, std::string> environment() const;
    // The runtime's library file as the tool loads it.
    static std::string runtimePath();

private:
    class Installation;

    OpenCLFixture& addDevice(const char* type, const DeviceOptions& options);

    std::shared_ptr<Installation> installation_;
    std::string description_;
};

} // namespace testsupport
