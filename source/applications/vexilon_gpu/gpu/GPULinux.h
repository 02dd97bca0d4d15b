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

    // The NVIDIA driver's version at the end of its GL_VERSION ("4.6.0 NVIDIA
    // 550.54.15"); empty when the text names none.
    static std::string NvidiaVersionInGLVersion(const std::string& glVersion);

private:
    DeviceFacts facts_;
    std::string sCaption_;
};
