#pragma once

#include "vulkan/VulkanDevice.h"

#include <vector>

// The Vulkan devices of the system's loader (libvulkan.so.1, vulkan-1.dll),
// loaded only when asked. No loader, no driver, or an instance that cannot be
// made: no devices, and nothing said.
class VulkanDevices {
public:
    static std::vector<VulkanDevice> List();

private:
    VulkanDevices() = delete;
};
