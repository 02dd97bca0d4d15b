// Vulkan in the exe's JSON document under Wine: Wine's vulkan-1.dll over the
// host's lavapipe gives no LUID, and Wine's DXGI adapter is not lavapipe's
// vendor, so lavapipe is listed untied, never guessed onto the GPU. (Wine
// hands the probe's environment to no Unix library: the runs without a driver
// and with the stand-in driver are the native tests'.)
#include "ToolRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using testsupport::ProcessResult;
using testsupport::ToolRunner;

TEST(VulkanReportEndToEnd, LavapipeUnderWineIsNoGPU)
{
    const ProcessResult run = ToolRunner::Run({"--qz4", "--format=json"});
    ASSERT_EQ(std::make_pair(0u, std::string()), std::make_pair(run.exitCode, run.err));
    const nlohmann::json document = nlohmann::json::parse(run.out);
    for (const nlohmann::json& gpu : document["gpus"]) {
        EXPECT_FALSE(gpu.contains("vulkan")) << gpu;
    }
    ASSERT_EQ(1u, document["unmatchedVulkanDevices"].size()) << run.out;
    EXPECT_EQ(0x10005, document["unmatchedVulkanDevices"][0]["vendorID"]);
    EXPECT_EQ("cpu", document["unmatchedVulkanDevices"][0]["deviceType"]);
}
