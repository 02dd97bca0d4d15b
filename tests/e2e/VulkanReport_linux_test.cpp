// Vulkan in the native tool's JSON document: Mesa's lavapipe tied to the
// software GPU, a stand-in driver's devices that are no GPU here listed as
// untied, a Vulkan driver that crashes or hangs costing only the Vulkan facts,
// and a line report that never loads Vulkan.
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <regex>

using testsupport::ProcessResult;
using testsupport::ToolRunner;

namespace {

// The stand-in driver; its crash is the driver's own, not one for AddressSanitizer to report.
std::map<std::string, std::string> StandIn(const std::string& fault = "")
{
    return {{"VK_ICD_FILENAMES", testsupport::TestEnvironment::FixtureBuildPath("vulkan/VulkanICD.json")},
            {"VEXILON_VULKAN_FAULT", fault}, {"ASAN_OPTIONS", "detect_leaks=1:handle_segv=0"}};
}

const std::map<std::string, std::string> kNoDriver = {{"VK_ICD_FILENAMES", "/nonexistent/icd.json"}};

// A run's document without the run's own times; its exit code and errors must be a clean run's.
nlohmann::json Document(const ProcessResult& run, const std::string& err = "")
{
    EXPECT_EQ(std::make_pair(0u, err), std::make_pair(run.exitCode, run.err));
    nlohmann::json document = nlohmann::json::parse(run.out);
    document.erase("vexilonStart");
    document.erase("vexilonEnd");
    return document;
}

} // namespace

TEST(VulkanReportEndToEnd, EachDeviceOnItsGPUOrListedAsUntied)
{
    const nlohmann::json lavapipe = Document(ToolRunner::Run({"--qz4", "--format=json"}))["gpus"][0]["vulkan"];
    EXPECT_EQ("cpu", lavapipe["deviceType"]);
    EXPECT_EQ("llvmpipe", lavapipe["driverName"]);
    EXPECT_EQ(0u, lavapipe["apiVersion"].get<std::string>().rfind("1.", 0));

    nlohmann::json document = Document(ToolRunner::Run({"--qz4", "--format=json"}, StandIn()));
    std::vector<std::string> untied;
    for (const nlohmann::json& device : document["unmatchedVulkanDevices"]) {
        untied.push_back(device["deviceName"].get<std::string>() + " " + device["deviceType"].get<std::string>() +
                         " " + device["driverVersion"].get<std::string>() + " " + device.value("deviceUUID", ""));
    }
    // Intel's driver version is packed the Windows way only on Windows.
    EXPECT_EQ((std::vector<std::string>{"Vexilon Test NVIDIA discrete 550.54.15 a0a1a2a3-a4a5-a6a7-a8a9-aaabacadaeaf",
                                        "Vexilon Test Intel integrated 0.405.50 b0b1b2b3-b4b5-b6b7-b8b9-babbbcbdbebf"}),
              untied);
    // Otherwise the document of a machine without Vulkan: nothing guessed onto the software GPU.
    document.erase("unmatchedVulkanDevices");
    const nlohmann::json without = Document(ToolRunner::Run({"--qz4", "--format=json"}, kNoDriver));
    EXPECT_FALSE(without["gpus"][0].contains("vulkan"));
    EXPECT_EQ(without, document);
}

// The fault is remembered (the table of ProbeFaults_linux_test shows the
// skip's document): the first run after an update of the manifest's library
// asks the driver again.
TEST(VulkanReportEndToEnd, AVulkanDriverFaultCostsOnlyTheVulkanFacts)
{
    const nlohmann::json without = Document(ToolRunner::Run({"--qz4", "--format=json"}, kNoDriver));
    EXPECT_EQ(without, Document(ToolRunner::Run({"--qz4", "--format=json", "--timeout=8"}, StandIn("hang")),
                                "probe failed: Vulkan probe: no progress for 8 s\n"));
    testsupport::ScopedDirectory cache;
    std::map<std::string, std::string> environment = StandIn("crash");
    environment["XDG_CACHE_HOME"] = cache.path();
    EXPECT_EQ(without, Document(ToolRunner::Run({"--qz4", "--format=json"}, environment),
                                "probe failed: Vulkan probe: signal 11 (Segmentation fault)\n"));
    EXPECT_EQ(0u, ToolRunner::Run({"--qz4", "--format=json"}, environment).err.find("probe skipped: Vulkan probe: "));
    const std::string library = testsupport::TestEnvironment::FixtureBuildPath("vulkan/libVexilonVulkanICD.so");
    const std::filesystem::file_time_type was = std::filesystem::last_write_time(library);
    std::filesystem::last_write_time(library, was + std::chrono::seconds(2));
    const ProcessResult updated = ToolRunner::Run({"--qz4", "--format=json"}, environment);
    std::filesystem::last_write_time(library, was);
    EXPECT_EQ("probe failed: Vulkan probe: signal 11 (Segmentation fault)\n", updated.err);
}

// A driver that would crash changes no byte of the line report, in tester and legacy mode.
TEST(VulkanReportEndToEnd, TheLineReportNeverLoadsVulkan)
{
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--qz4", "--app=Lumatrope"},
                                                      std::vector<std::string>{}}) {
        const ProcessResult crashing = ToolRunner::Run(arguments, StandIn("crash"));
        const ProcessResult without = ToolRunner::Run(arguments, kNoDriver);
        EXPECT_EQ(std::make_pair(without.exitCode, without.err), std::make_pair(crashing.exitCode, crashing.err));
        // The time stamps of the markers are all that may differ.
        const std::regex stamp("\"[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}:[0-9]{2}:[0-9]{2}\"");
        EXPECT_EQ(std::regex_replace(without.out, stamp, "T"), std::regex_replace(crashing.out, stamp, "T"));
    }
}
