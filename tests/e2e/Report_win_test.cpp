// The tester-mode report end to end: the real exe on Wine's WMI, DXGI,
// Direct3D 9 and WGL, checked against what those report directly and glxinfo.
#include "GlxInfo.h"
#include "SystemFacts.h"
#include "ToolRunner.h"
#include "WineDirect3DSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

using testsupport::FreshSystemFacts;
using testsupport::GlxInfo;
using testsupport::ProcessResult;
using testsupport::SplitCrLfLines;
using testsupport::ToolRunner;
using testsupport::WineDirect3DSettings;

namespace {

// One GPU block: the field keys in the order written, and their raw values.
struct Block {
    std::vector<std::string> keys;
    std::map<std::string, std::string> values;
};

struct Report {
    std::vector<std::string> lines;
    unsigned gpus = 0;
    std::vector<Block> blocks;
};

Report Parse(const ProcessResult& result)
{
    Report report;
    report.lines = SplitCrLfLines(result.out);
    const std::regex count("NumGPUs=(\\d+)");
    const std::regex field("(gpu(?:\\[(\\d+)\\])?)\\.([A-Za-z]+)=(.*)");
    std::smatch match;
    for (const std::string& line : report.lines) {
        if (std::regex_match(line, match, count)) {
            report.gpus = static_cast<unsigned>(std::stoul(match[1]));
            report.blocks.resize(report.gpus);
        } else if (std::regex_match(line, match, field)) {
            const std::size_t index = match[2].matched ? std::stoul(match[2]) : 0;
            if (index < report.blocks.size()) {
                report.blocks[index].keys.push_back(match[3]);
                report.blocks[index].values[match[3]] = match[4];
            }
        }
    }
    return report;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Checks one adapter's block against what Wine reports in a fresh process.
void ExpectBlockMatchesTheSystem(const Block& block, std::size_t index, const FreshSystemFacts& facts,
                                 const GlxInfo& glx)
{
    ASSERT_LT(index, facts.controllers.size());
    ASSERT_LT(index, facts.adapters.size());
    const auto& controller = facts.controllers[index];

    std::vector<std::string> expectedKeys = {"OGLVersion", "MemoryMB",   "RectTextureSize", "Renderer",
                                             "RendererID", "Vendor",     "VendorID",        "HasNPOTSupport"};
    for (const auto& optional : {std::make_pair("DriverVersion", controller.driverVersion),
                                 std::make_pair("Driver", controller.installedDisplayDrivers),
                                 std::make_pair("DriverDate", controller.driverDate)}) {
        if (!optional.second.empty()) {
            expectedKeys.push_back(optional.first);
        }
    }
    expectedKeys.push_back("CompileProgramGLSL");
    expectedKeys.push_back("TestFrameBuffer");
    EXPECT_EQ(expectedKeys, block.keys);

    const auto value = [&block](const std::string& key) {
        const auto found = block.values.find(key);
        return found == block.values.end() ? std::string("<missing>") : found->second;
    };
    EXPECT_EQ(Quoted("3.0"), value("OGLVersion"));
    EXPECT_EQ(std::to_string(facts.adapters[index].vendorID), value("VendorID"));
    EXPECT_EQ(std::to_string(facts.adapters[index].deviceID), value("RendererID"));
    // llvmpipe offers neither vendor's memory extension: the larger of WMI's
    // and DXGI's figures stands.
    const std::uint64_t systemBytes =
        std::max<std::uint64_t>(controller.adapterRAM, facts.adapters[index].dedicatedVideoMemory);
    EXPECT_EQ(std::to_string(systemBytes >> 20), value("MemoryMB"));
    if (!controller.driverVersion.empty()) {
        EXPECT_EQ(Quoted(controller.driverVersion), value("DriverVersion"));
    }
    if (!controller.installedDisplayDrivers.empty()) {
        EXPECT_EQ(Quoted(controller.installedDisplayDrivers), value("Driver"));
    }
    if (!controller.driverDate.empty()) {
        EXPECT_EQ(Quoted(controller.driverDate), value("DriverDate"));
    }
    EXPECT_EQ(Quoted(glx.renderer()), value("Renderer"));
    EXPECT_EQ(Quoted(glx.vendor()), value("Vendor"));
    EXPECT_EQ(std::to_string(glx.limit("GL_MAX_RECTANGLE_TEXTURE_SIZE")), value("RectTextureSize"));
    EXPECT_EQ(glx.extensions().count("GL_ARB_texture_non_power_of_two") ? "1" : "0", value("HasNPOTSupport"));
    EXPECT_EQ("1", value("CompileProgramGLSL"));
    EXPECT_EQ("1", value("TestFrameBuffer"));
}

} // namespace

TEST(ReportEndToEnd, DefaultAdapterGetsEveryFieldInOrder)
{
    const ProcessResult result = ToolRunner::Run({"--qz4"});
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("", result.err);

    const Report report = Parse(result);
    const FreshSystemFacts facts = FreshSystemFacts::Read();
    ASSERT_EQ(facts.controllers.size(), report.gpus) << result.out;
    ASSERT_GE(report.gpus, 1u);
    // Markers, count, the field lines and nothing else: PoCL has no GPU
    // device, so there is no OpenCL line.
    std::size_t fieldLines = 0;
    for (std::size_t i = 0; i < report.gpus; ++i) {
        ExpectBlockMatchesTheSystem(report.blocks[i], i, facts, GlxInfo::FromTestbed());
        fieldLines += report.blocks[i].keys.size();
    }
    EXPECT_EQ(3 + fieldLines, report.lines.size()) << result.out;
    if (report.gpus == 1) {
        EXPECT_EQ(0u, report.lines[2].find("gpu.OGLVersion=\"")) << report.lines[2];
    }
}

TEST(ReportEndToEnd, AdapterSettingsReachEveryField)
{
    struct Scenario {
        DWORD vendor;
        DWORD device;
        const char* megabytes;
    };
    for (const Scenario& scenario : {Scenario{0x1002, 0x67DF, "2048"}, Scenario{0x8086, 0x0166, "1024"},
                                      Scenario{0x8086, 0x0166, "16384"}}) {
        WineDirect3DSettings settings;
        settings.setDword("VideoPciVendorID", scenario.vendor);
        settings.setDword("VideoPciDeviceID", scenario.device);
        settings.setString("VideoMemorySize", scenario.megabytes);

        const ProcessResult result = ToolRunner::Run({"--qz4"});
        EXPECT_EQ(0u, result.exitCode);
        EXPECT_EQ("", result.err);
        const Report report = Parse(result);
        ASSERT_GE(report.gpus, 1u) << result.out;
        const FreshSystemFacts facts = FreshSystemFacts::Read();
        ExpectBlockMatchesTheSystem(report.blocks[0], 0, facts, GlxInfo::FromTestbed());

        // And the settings themselves, so a Wine that ignored them fails here.
        const Block& block = report.blocks[0];
        EXPECT_EQ(std::to_string(scenario.vendor), block.values.at("VendorID"));
        EXPECT_EQ(std::to_string(scenario.device), block.values.at("RendererID"));
        EXPECT_EQ(scenario.megabytes, block.values.at("MemoryMB"));
    }
}

TEST(ReportEndToEnd, FailAfterBoundariesCountFifteenStepsPerGPU)
{
    const ProcessResult full = ToolRunner::Run({"--qz4"});
    const unsigned gpus = Parse(full).gpus;
    ASSERT_GE(gpus, 1u);
    const unsigned steps = 15 * gpus + 5;

    // The first field of the first GPU is written, its step fails, the
    // report goes on with the next GPU and ends with the end marker's step.
    const ProcessResult third = ToolRunner::Run({"--qz4", "--failAfter=3"});
    EXPECT_EQ(2u, third.exitCode);
    std::string expectedErr;
    for (unsigned i = 0; i < gpus; ++i) {
        expectedErr += "DoRunGPU exception\r\n";
    }
    EXPECT_EQ(expectedErr + "exception: programmed failure\r\n", third.err);
    const Report partial = Parse(third);
    EXPECT_EQ(2 + gpus + 1, partial.lines.size()) << third.out;

    const ProcessResult last = ToolRunner::Run({"--qz4", "--failAfter=" + std::to_string(steps - 1)});
    EXPECT_EQ(2u, last.exitCode);
    EXPECT_EQ(SplitCrLfLines(full.out).size(), SplitCrLfLines(last.out).size());
    EXPECT_EQ("exception: programmed failure\r\n", last.err);
}
