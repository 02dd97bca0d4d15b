#pragma once

#include "gpu/EGLEnumerationSystem.h"
#include "sysinfo/SystemTree.h"

#include "zeb/ogl/EGLDevice.h"

// The enumeration's questions answered by EGL, sysfs, /proc and libdrm.
class EGLEnumerationSystemLinux : public EGLEnumerationSystem {
public:
    EGLEnumerationSystemLinux();
    ~EGLEnumerationSystemLinux() override;

    std::vector<EGLDeviceSummary> Devices() override;
    std::unique_ptr<ZEB::OGL::Context> OpenContext(std::size_t index) override;
    std::string DriverName(const ZEB::OGL::Context& context) override;
    DeviceFacts DrmNodeFacts(const std::string& node) override;
    std::vector<DeviceFacts> NvidiaGpus() override;

private:
    EGLEnumerationSystemLinux(const EGLEnumerationSystemLinux&) = delete;
    EGLEnumerationSystemLinux& operator=(const EGLEnumerationSystemLinux&) = delete;

    SystemTree tree_;
    std::vector<ZEB::OGL::EGLDevice> vDevices_;
};
