#include "vulkan/VulkanVersionText.h"

#include <gtest/gtest.h>

TEST(VulkanVersionText, DriverVersionsUnpackedTheVendorsWay)
{
    const struct {
        const char* name;
        std::uint32_t vendor;
        std::uint32_t version;
        bool windows;
        const char* text;
    } cases[] = {
        {"NVIDIA", 0x10DE, (550u << 22) | (54u << 14) | (15u << 6), false, "550.54.15"},
        {"NVIDIA, a one-digit patch and a build", 0x10DE, (535u << 22) | (104u << 14) | (5u << 6) | 3u, true,
         "535.104.05.3"},
        {"Intel on Windows", 0x8086, (101u << 14) | 4146u, true, "101.4146"},
        {"Intel elsewhere: Mesa's", 0x8086, (23u << 22) | (1u << 12) | 9u, false, "23.1.9"},
        {"AMD", 0x1002, (2u << 22) | (0u << 12) | 279u, true, "2.0.279"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text, VulkanVersionText::Driver(c.vendor, c.version, c.windows));
    }
}

TEST(VulkanVersionText, ApiVersionAndUuid)
{
    EXPECT_EQ("1.3.230", VulkanVersionText::Api((1u << 22) | (3u << 12) | 230u));
    EXPECT_EQ("1.2.0", VulkanVersionText::Api((7u << 29) | (1u << 22) | (2u << 12)));  // the variant left out
    std::array<std::uint8_t, 16> uuid{};
    for (std::size_t i = 0; i < uuid.size(); ++i) {
        uuid[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    EXPECT_EQ("a0a1a2a3-a4a5-a6a7-a8a9-aaabacadaeaf", VulkanVersionText::Uuid(uuid));
}
