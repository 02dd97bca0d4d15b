// Under Wine, vulkan-1.dll over the host's lavapipe gives no LUID and DXGI another vendor: lavapipe is listed
// untied, never guessed onto the GPU. (A probe's environment reaches no Unix library: the other runs are native.)
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
