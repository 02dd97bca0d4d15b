#include "gpu/GPULinux.h"

#include <algorithm>
#include <cctype>

namespace {

const unsigned int kNvidiaVendorID = 0x10DE;

} // namespace

GPULinux::GPULinux(const boost::shared_ptr<ZEB::OGL::Context>& context, const DeviceFacts& facts,
                   const std::string& caption)
    : GPUHardware(context), facts_(facts), sCaption_(caption)
{
}

GPULinux::~GPULinux() {}

unsigned int GPULinux::MemoryMB() { return MemoryMBFromSystemFigure(facts_.memoryBytes); }

unsigned int GPULinux::RendererID() { return facts_.deviceID; }

unsigned int GPULinux::VendorID() { return facts_.vendorID; }

std::string GPULinux::DriverVersion()
{
    if (!facts_.driverVersion.empty() || facts_.vendorID != kNvidiaVendorID) {
        return facts_.driverVersion;
    }
    // Some containers mount neither the module's version nor /proc, nor NVML:
    // NVIDIA's GL still names its driver.
    const GLubyte* version = GetString(GL_VERSION);
    return NvidiaVersionInGLVersion(version ? reinterpret_cast<const char*>(version) : "");
}

std::string GPULinux::NvidiaVersionInGLVersion(const std::string& glVersion)
{
    const std::string marker = " NVIDIA ";
    const std::size_t at = glVersion.rfind(marker);
    if (at == std::string::npos) {
        return std::string();
    }
    const std::string version = glVersion.substr(at + marker.size());
    const bool plain = !version.empty() && std::all_of(version.begin(), version.end(), [](char c) {
        return c == '.' || std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    return plain ? version : std::string();
}

std::string GPULinux::Driver() { return facts_.driver; }

std::string GPULinux::DriverDate() { return facts_.driverDate; }

std::string GPULinux::Caption() { return sCaption_; }

GPUIdentity GPULinux::Identity()
{
    GPUIdentity identity;
    identity.pciAddress = facts_.pciAddress;
    identity.uuid = facts_.uuid;
    identity.software = facts_.software;
    identity.vendorID = facts_.vendorID;
    identity.deviceID = facts_.deviceID;
    return identity;
}
