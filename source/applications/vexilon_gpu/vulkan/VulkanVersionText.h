#pragma once

#include <array>
#include <cstdint>
#include <string>

// The texts of Vulkan's packed numbers.
class VulkanVersionText {
public:
    // "1.3.230": Vulkan's API version (the variant left out).
    static std::string Api(std::uint32_t version);
    // A driver version unpacked the way its vendor packs it: NVIDIA 10.8.8.6
    // bits ("550.54.15"), Intel on Windows 18.14 bits ("101.4146"), everyone
    // else Vulkan's major.minor.patch.
    static std::string Driver(std::uint32_t vendorID, std::uint32_t version, bool windows);
    // "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" in lower case.
    static std::string Uuid(const std::array<std::uint8_t, 16>& uuid);

private:
    VulkanVersionText() = delete;
};
