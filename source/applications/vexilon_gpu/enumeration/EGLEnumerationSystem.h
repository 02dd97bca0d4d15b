#pragma once

#include "sysinfo/DeviceFacts.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace ZEB {
namespace OGL {
class Context;
} // namespace OGL
} // namespace ZEB

// One EGL device as the enumeration needs to know it.
struct EGLDeviceSummary {
    bool software = false;  // Mesa's software device
    std::string drmNode;    // its render node, else its DRM device file; empty when EGL names neither
    int cudaDevice = -1;    // the NVIDIA driver's CUDA index in this process, or -1
    std::string uuid;       // EGL_DEVICE_UUID_EXT's 16 bytes; empty when EGL does not give them
    std::size_t eglIndex = 0;  // its position in EGL's list, which names its listing step
};

// What the Linux enumeration asks of EGL and of the system. The real one goes
// to EGL's device platform, sysfs and /proc; tests stand in machines of their
// own, with devices that are listed twice or whose display fails.
class EGLEnumerationSystem {
public:
    virtual ~EGLEnumerationSystem() {}

    // Every device of EGL's device platform, in EGL's order, less those whose
    // listing step is not taken (ListingSteps); empty without one.
    virtual std::vector<EGLDeviceSummary> Devices() = 0;
    // A new offscreen context on device `index` of the last Devices() list;
    // throws when the device's display or context cannot be made.
    virtual std::unique_ptr<ZEB::OGL::Context> OpenContext(std::size_t index) = 0;
    // The EGL driver's name behind a context opened here; empty when EGL does not say.
    virtual std::string DriverName(const ZEB::OGL::Context& context) = 0;

    // What the system says about the GPU behind a DRM node.
    virtual DeviceFacts DrmNodeFacts(const std::string& node) = 0;
    // What the system says about the PCI device at a canonical address
    // (LinuxDeviceFacts::CanonicalPciAddress).
    virtual DeviceFacts PciFacts(const std::string& pciAddress) = 0;
    // The GPUs that /proc/driver/nvidia lists, DRM node or not, in PCI bus
    // order, with their UUIDs; empty where it is not mounted (containers).
    virtual std::vector<DeviceFacts> NvidiaGpus() = 0;
    // NVML's PCI address of the GPU with this "GPU-..." UUID, as NVML writes it; empty when unknown.
    virtual std::string NvmlPciAddress(const std::string& uuid) = 0;
    // The PCI address of CUDA device `index` of this process, as CUDA writes
    // it ("00000000:81:00.0"); empty when unknown.
    virtual std::string CudaPciAddress(int index) = 0;
};
