#include "vulkan/VulkanVersionText.h"

#include <gtest/gtest.h>

TEST(VulkanVersionText, DriverVersionsUnpackedTheVendorsWay)
{
    const struct { std::uint32_t vendor, version; bool windows; const char* text; } cases[] = {
        {0x10DE, (550u << 22) | (54u << 14) | (15u << 6), false, "550.54.15"},
        {0x10DE, (535u << 22) | (104u << 14) | (5u << 6) | 3u, true, "535.104.05.3"},
        {0x8086, (101u << 14) | 4146u, true, "101.4146"},
        {0x8086, (23u << 22) | (1u << 12) | 9u, false, "23.1.9"},  // Mesa's
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, VulkanVersionText::Driver(c.vendor, c.version, c.windows));
    }
    EXPECT_EQ("1.2.0", VulkanVersionText::Api((7u << 29) | (1u << 22) | (2u << 12)));  // the variant left out
}
