#include "OpenCLFixture.h"

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

} // namespace testsupport
