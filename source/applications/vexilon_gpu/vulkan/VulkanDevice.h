#pragma once

#include <array>
#include <cstdint>
#include <string>

// What one Vulkan physical device says about itself. The optional parts are
// marked: a device or loader too old to answer leaves them out.
struct VulkanDevice {
    std::uint32_t apiVersion = 0;
    std::uint32_t driverVersion = 0;  // packed the vendor's way
    std::uint32_t vendorID = 0;
    std::uint32_t deviceID = 0;
    std::string deviceType;  // "integrated", "discrete", "virtual", "cpu", "other"
    std::string deviceName;

    bool hasIDs = false;  // Vulkan 1.1's ID properties
    std::array<std::uint8_t, 16> deviceUUID{};
    bool luidValid = false;
    std::uint64_t luid = 0;  // the Windows adapter LUID, low part in the low 32 bits

    bool hasDriverProperties = false;  // Vulkan 1.2, or VK_KHR_driver_properties
    std::string driverName;
    std::string driverInfo;
    std::string conformanceVersion;  // "1.3.5.0"

    bool hasPciBusInfo = false;  // VK_EXT_pci_bus_info
    std::uint32_t pciDomain = 0;
    std::uint32_t pciBus = 0;
    std::uint32_t pciDevice = 0;
    std::uint32_t pciFunction = 0;
};
