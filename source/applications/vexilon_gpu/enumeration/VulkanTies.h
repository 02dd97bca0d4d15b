#pragma once

#include "sysinfo/GPUIdentity.h"
#include "vulkan/VulkanDevice.h"

#include <vector>

// Which GPU each Vulkan device is: by what names the same physical GPU to
// both, never by position among several.
class VulkanTies {
public:
    enum class System { kLinux, kWindows };

    // For each device, the index in `gpus` of the GPU it is, or -1. Linux: the
    // PCI address, else the UUID against the GPU's, else the software device
    // with the one CPU device. Windows: the adapter LUID, else the vendor and
    // device ids that only one device and one GPU have. A GPU takes one device.
    static std::vector<int> Tie(const std::vector<GPUIdentity>& gpus, const std::vector<VulkanDevice>& devices,
                                System system);
    // The system this build runs on.
    static System Native();

private:
    VulkanTies() = delete;
};
