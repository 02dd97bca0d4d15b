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

unsigned int GPULinux::MemoryMB() { return MemoryMBFromTotal(facts_.memoryBytes); }

unsigned int GPULinux::RendererID() { return facts_.deviceID; }

unsigned int GPULinux::VendorID() { return facts_.vendorID; }

std::string GPULinux::DriverVersion()
{
    if (!facts_.driverVersion.empty()) {
        return facts_.driverVersion;
    }
    // Mesa's release renders the context of every GPU it drives, and names
    // itself in GL_VERSION. Some containers mount neither NVIDIA's module
    // version nor /proc, nor NVML: NVIDIA's GL still names its driver.
    const GLubyte* text = GetString(GL_VERSION);
    const std::string version = text ? reinterpret_cast<const char*>(text) : "";
    const std::string mesa = MesaVersionInGLVersion(version);
    return !mesa.empty() || facts_.vendorID != kNvidiaVendorID ? mesa : NvidiaVersionInGLVersion(version);
}

std::string GPULinux::MesaVersionInGLVersion(const std::string& glVersion)
{
    const std::string marker = "Mesa ";
    std::size_t at = glVersion.find(marker);
    while (at != std::string::npos && at != 0 && glVersion[at - 1] != ' ') {
        at = glVersion.find(marker, at + 1);
    }
    return at == std::string::npos ? std::string() : glVersion.substr(at + marker.size());
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

std::string GPULinux::KernelDriver() { return facts_.software ? std::string() : facts_.driver; }

std::string GPULinux::KernelDriverVersion() { return facts_.kernelDriverVersion; }

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
