#pragma once

#include "gpu/GPUHardware.h"
#include "sysinfo/DeviceFacts.h"

#include <string>

// The Linux half of a GPU: what the system (sysfs, /proc, the DRM and NVIDIA
// drivers) or EGL said about it when it was enumerated.
class GPULinux : public GPUHardware {
public:
    GPULinux(const boost::shared_ptr<ZEB::OGL::Context>& context, const DeviceFacts& facts,
             const std::string& caption);
    ~GPULinux() override;

    unsigned int MemoryMB() override;
    unsigned int RendererID() override;
    unsigned int VendorID() override;
    std::string DriverVersion() override;
    std::string Driver() override;
    std::string DriverDate() override;
    std::string Caption() override;
    GPUIdentity Identity() override;
    std::string KernelDriver() override;
    std::string KernelDriverVersion() override;

    // Mesa's release as its GL_VERSION names it: all that follows "Mesa ",
    // distribution suffixes included ("4.6 (Compatibility Profile) Mesa
    // 23.2.1-1ubuntu3.1~22.04.2"); empty when Mesa is not named.
    static std::string MesaVersionInGLVersion(const std::string& glVersion);

    // The NVIDIA driver's version at the end of its GL_VERSION ("4.6.0 NVIDIA
    // 550.54.15"); empty when the text names none.
    static std::string NvidiaVersionInGLVersion(const std::string& glVersion);

private:
    DeviceFacts facts_;
    std::string sCaption_;
};
