#include "vulkan/VulkanVersionText.h"

#include <cstdio>

namespace {

const std::uint32_t kNvidia = 0x10DE;
const std::uint32_t kIntel = 0x8086;

} // namespace

std::string VulkanVersionText::Api(std::uint32_t version)
{
    return std::to_string((version >> 22) & 0x7F) + "." + std::to_string((version >> 12) & 0x3FF) + "." +
           std::to_string(version & 0xFFF);
}

std::string VulkanVersionText::Driver(std::uint32_t vendorID, std::uint32_t version, bool windows)
{
    char text[32];
    if (vendorID == kNvidia) {
        // The patch keeps its two digits, as NVIDIA names its drivers ("535.104.05").
        std::snprintf(text, sizeof text, "%u.%u.%02u", version >> 22, (version >> 14) & 0xFF, (version >> 6) & 0xFF);
        std::string result = text;
        if ((version & 0x3F) != 0) {
            result += "." + std::to_string(version & 0x3F);
        }
        return result;
    }
    if (vendorID == kIntel && windows) {
        std::snprintf(text, sizeof text, "%u.%u", version >> 14, version & 0x3FFF);
        return text;
    }
    std::snprintf(text, sizeof text, "%u.%u.%u", version >> 22, (version >> 12) & 0x3FF, version & 0xFFF);
    return text;
}

std::string VulkanVersionText::Uuid(const std::array<std::uint8_t, 16>& uuid)
{
    std::string text;
    for (std::size_t at = 0; at < uuid.size(); ++at) {
        if (at == 4 || at == 6 || at == 8 || at == 10) {
            text += '-';
        }
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", uuid[at]);
        text += hex;
    }
    return text;
}
