#pragma once

#include "enumeration/EGLEnumerationSystem.h"
#include "sysinfo/SystemTree.h"

#include "zeb/ogl/EGLDevice.h"

// The enumeration's questions answered by EGL, sysfs, /proc, libdrm and
// NVIDIA's libraries (all but EGL through the SystemTree).
class EGLEnumerationSystemLinux : public EGLEnumerationSystem {
public:
    EGLEnumerationSystemLinux();
    ~EGLEnumerationSystemLinux() override;

    std::vector<EGLDeviceSummary> Devices() override;
    std::unique_ptr<ZEB::OGL::Context> OpenContext(std::size_t index) override;
    std::string DriverName(const ZEB::OGL::Context& context) override;
    DeviceFacts DrmNodeFacts(const std::string& node) override;
    DeviceFacts PciFacts(const std::string& pciAddress) override;
    std::vector<DeviceFacts> NvidiaGpus() override;
    std::string NvmlPciAddress(const std::string& uuid) override;
    std::string CudaPciAddress(int index) override;

private:
    EGLEnumerationSystemLinux(const EGLEnumerationSystemLinux&) = delete;
    EGLEnumerationSystemLinux& operator=(const EGLEnumerationSystemLinux&) = delete;

    SystemTree tree_;
    std::vector<ZEB::OGL::EGLDevice> vDevices_;
};
