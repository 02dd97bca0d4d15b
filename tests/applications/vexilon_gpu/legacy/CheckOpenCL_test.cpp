#include "legacy/CheckOpenCL.h"

#include <gtest/gtest.h>

namespace {
DeviceInfo Device(std::uint64_t rate) { return DeviceInfo{nullptr, nullptr, rate}; }
} // namespace

TEST(LegacyOpenCLVerdict, BestRateMustReachTwelve)
{
    EXPECT_FALSE(IsOpenCLUsable({}));
    EXPECT_TRUE(IsOpenCLUsable({Device(12)}));
    EXPECT_FALSE(IsOpenCLUsable({Device(11)}));
    EXPECT_FALSE(IsOpenCLUsable({Device(0), Device(11), Device(3)}));
    EXPECT_TRUE(IsOpenCLUsable({Device(3), Device(40), Device(11)}));
}
