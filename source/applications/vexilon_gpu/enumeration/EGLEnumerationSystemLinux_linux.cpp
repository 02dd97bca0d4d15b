#include "enumeration/EGLEnumerationSystemLinux.h"

#include "enumeration/ListingSteps.h"
#include "sysinfo/LinuxDeviceFacts.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/ContextOffscreen.h"

EGLEnumerationSystemLinux::EGLEnumerationSystemLinux() {}

EGLEnumerationSystemLinux::~EGLEnumerationSystemLinux() {}

std::vector<EGLDeviceSummary> EGLEnumerationSystemLinux::Devices()
{
    vDevices_ = ZEB::OGL::EGLDevice::all([](std::size_t index) { return ListingSteps::Enter(index); });
    std::vector<EGLDeviceSummary> summaries;
    for (const ZEB::OGL::EGLDevice& device : vDevices_) {
        EGLDeviceSummary summary;
        summary.eglIndex = device.index();
        summary.software = device.isSoftware();
        // The render node names the GPU as well as the primary node does, and
        // older drivers give only one of the two.
        summary.drmNode = !device.drmRenderNode().empty() ? device.drmRenderNode() : device.drmDeviceFile();
        summary.cudaDevice = device.cudaDevice();
        summary.uuid = device.uuid();
        summaries.push_back(summary);
    }
    return summaries;
}

std::unique_ptr<ZEB::OGL::Context> EGLEnumerationSystemLinux::OpenContext(std::size_t index)
{
    if (index >= vDevices_.size()) {
        throw ZEB::RuntimeException("no such EGL device");
    }
    return std::unique_ptr<ZEB::OGL::Context>(new ZEB::OGL::ContextOffscreen(vDevices_[index]));
}

std::string EGLEnumerationSystemLinux::DriverName(const ZEB::OGL::Context& context) { return context.driverName(); }

DeviceFacts EGLEnumerationSystemLinux::DrmNodeFacts(const std::string& node)
{
    return LinuxDeviceFacts::ForDrmNode(tree_, node);
}

DeviceFacts EGLEnumerationSystemLinux::PciFacts(const std::string& pciAddress)
{
    return LinuxDeviceFacts::ForPciAddress(tree_, pciAddress);
}

std::vector<DeviceFacts> EGLEnumerationSystemLinux::NvidiaGpus() { return LinuxDeviceFacts::NvidiaGpus(tree_); }

std::string EGLEnumerationSystemLinux::NvmlPciAddress(const std::string& uuid)
{
    return tree_.NvidiaPciAddressOfUuid(uuid);
}

std::string EGLEnumerationSystemLinux::CudaPciAddress(int index) { return tree_.CudaPciAddress(index); }
