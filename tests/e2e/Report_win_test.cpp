// The tester-mode reports end to end: the real exe on Wine's WMI, DXGI,
// Direct3D 9 and WGL, checked against what those report to this test directly.
#include "LumatropeGroups.h"
#include "ReferenceGL.h"
#include "ScopedDirectory.h"
#include "SystemFacts.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"
#include "WineSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

using testsupport::FreshSystemFacts;
using testsupport::ReferenceGL;
using testsupport::ProcessResult;
using testsupport::SplitTextModeLines;
using testsupport::ToolRunner;

namespace {

// The GPU blocks: each one's field keys in the order written, and their values.
struct Report {
    std::vector<std::string> lines;
    std::vector<std::vector<std::string>> keys;
    std::vector<std::map<std::string, std::string>> values;
};

Report RunReport(const std::vector<std::string>& arguments)
{
    const ProcessResult result = ToolRunner::Run(arguments);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("", result.err);
    Report report;
    report.lines = SplitTextModeLines(result.out);
    const std::regex count("NumGPUs=(\\d+)");
    const std::regex field("gpu(?:\\[(\\d+)\\])?\\.([A-Za-z]+)=(.*)");
    std::smatch match;
    for (const std::string& line : report.lines) {
        if (std::regex_match(line, match, count)) {
            report.keys.resize(std::stoul(match[1]));
            report.values.resize(report.keys.size());
        } else if (std::regex_match(line, match, field)) {
            const std::size_t index = match[1].matched ? std::stoul(match[1]) : 0;
            if (index < report.keys.size()) {
                report.keys[index].push_back(match[2]);
                report.values[index][match[2]] = match[3];
            }
        }
    }
    return report;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The report's GPU blocks against a fresh process's WMI and DXGI and this
// process's GL; the fields with no value on the system are left out.
void ExpectTheSystemsFields(const Report& report)
{
    const FreshSystemFacts facts = FreshSystemFacts::Read();
    const ReferenceGL gl;
    ASSERT_EQ(facts.controllers.size(), report.keys.size()) << "one GPU per attached adapter";
    ASSERT_LE(report.keys.size(), facts.adapters.size());
    for (std::size_t i = 0; i < report.keys.size(); ++i) {
        const auto& controller = facts.controllers[i];
        // llvmpipe offers neither vendor's memory query: the larger of WMI's
        // and DXGI's figures stands.
        const std::uint64_t bytes = std::max<std::uint64_t>(controller.adapterRAM, facts.adapters[i].dedicatedVideoMemory);
        const std::vector<std::pair<std::string, std::string>> fields = {
            {"OGLVersion", Quoted("3.0")},
            {"MemoryMB", std::to_string(bytes >> 20)},
            {"RectTextureSize", std::to_string(gl.integer(0x84F8 /* GL_MAX_RECTANGLE_TEXTURE_SIZE */))},
            {"Renderer", Quoted(gl.text(GL_RENDERER))},
            {"RendererID", std::to_string(facts.adapters[i].deviceID)},
            {"Vendor", Quoted(gl.text(GL_VENDOR))},
            {"VendorID", std::to_string(facts.adapters[i].vendorID)},
            {"HasNPOTSupport", gl.hasExtension("GL_ARB_texture_non_power_of_two") ? "1" : "0"},
            {"DriverVersion", controller.driverVersion.empty() ? "" : Quoted(controller.driverVersion)},
            {"Driver", controller.installedDisplayDrivers.empty() ? "" : Quoted(controller.installedDisplayDrivers)},
            {"DriverDate", controller.driverDate.empty() ? "" : Quoted(controller.driverDate)},
            {"CompileProgramGLSL", "1"},
            {"TestFrameBuffer", "1"}};
        std::vector<std::string> keys;
        for (const auto& field : fields) {
            if (!field.second.empty()) {
                keys.push_back(field.first);
                EXPECT_EQ(field.second, report.values[i].count(field.first) ? report.values[i].at(field.first) : "")
                    << field.first;
            }
        }
        EXPECT_EQ(keys, report.keys[i]);
    }
}

} // namespace

TEST(ReportEndToEnd, DefaultAdapterGetsEveryFieldInOrder)
{
    const Report report = RunReport({"--qz4"});
    ExpectTheSystemsFields(report);
    // Markers, count and the fields: PoCL has no GPU device, so no OpenCL line.
    std::size_t fields = 0;
    for (const auto& keys : report.keys) {
        fields += keys.size();
    }
    EXPECT_EQ(3 + fields, report.lines.size());
    EXPECT_TRUE(std::regex_match(report.lines.front(), std::regex("vexilonStart=\"[0-9_:-]{19}\"")));
    EXPECT_TRUE(std::regex_match(report.lines.back(), std::regex("vexilonEnd=\"[0-9_:-]{19}\"")));
}

TEST(ReportEndToEnd, AdapterSettingsReachTheFields)
{
    const struct {
        DWORD vendor;
        DWORD device;
        const char* megabytes;
    } scenarios[] = {{0x1002, 0x67DF, "2048"}, {0x8086, 0x0166, "16384"}};
    for (const auto& scenario : scenarios) {
        testsupport::WineSettings settings;
        settings.setDword("VideoPciVendorID", scenario.vendor);
        settings.setDword("VideoPciDeviceID", scenario.device);
        settings.setString("VideoMemorySize", scenario.megabytes);
        const Report report = RunReport({"--qz4"});
        ExpectTheSystemsFields(report);
        // And the settings themselves, so that a Wine that ignored them fails here.
        ASSERT_FALSE(report.values.empty());
        EXPECT_EQ(std::to_string(scenario.vendor), report.values[0].at("VendorID"));
        EXPECT_EQ(std::to_string(scenario.device), report.values[0].at("RendererID"));
        EXPECT_EQ(scenario.megabytes, report.values[0].at("MemoryMB"));
    }
}

TEST(ReportEndToEnd, LumatropeQueryGroupsFollowTheFieldsAndAgreeWithTheGL)
{
    const Report report = RunReport({"--qz4", "--app=Lumatrope"});
    ASSERT_EQ(1u, report.keys.size()) << "the groups are written for a single GPU";
    const ReferenceGL gl;
    const std::vector<std::string> groups = testsupport::LumatropeGroupLines(gl.lumatropeAnswers());

    // Tester line, start marker, count, the fields, the groups, the end marker.
    const std::vector<std::string>& lines = report.lines;
    ASSERT_EQ(4 + report.keys[0].size() + groups.size(), lines.size());
    EXPECT_EQ("Tester=\"Lumatrope\"", lines[0]);
    EXPECT_EQ("gpu.TestFrameBuffer=1", lines[2 + report.keys[0].size()]);
    EXPECT_EQ(groups, std::vector<std::string>(lines.end() - 1 - groups.size(), lines.end() - 1));
}

// A display driver that crashes while a display device makes its context
// costs only that device: the rows after it go on with the next one.
TEST(ReportEndToEnd, ACrashWhileADisplayDeviceIsListedCostsOnlyThatDevice)
{
    const std::string tool = testsupport::TestEnvironment::FixtureBuildPath("displays/vexilon_crashing_displays.exe");
    const std::string lost = "probe failed: listing the GPUs, device ";
    const struct {
        const char* crashing;
        unsigned gpus;
        std::vector<std::string> err;
    } cases[] = {
        {"", 3, {}},
        {"1", 2, {lost + "1: exception 0xc0000005"}},
        {"20", 1, {lost + "0: exception 0xc0000005", lost + "2: exception 0xc0000005"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.crashing);
        testsupport::ScopedDirectory folder;
        const ProcessResult result = testsupport::ChildProcess::Run(tool, {"--qz4"}, folder.path(),
                                                                    {{"VEXILON_CRASHING_DISPLAYS", c.crashing},
                                                                     {"VEXILON_FAULT_RECORD", "0"}});
        const std::vector<std::string> lines = SplitTextModeLines(result.out);
        EXPECT_EQ(0u, result.exitCode);
        EXPECT_EQ(c.err, SplitTextModeLines(result.err));
        ASSERT_LE(3u, lines.size()) << result.out;
        EXPECT_EQ("NumGPUs=" + std::to_string(c.gpus), lines[1]);
        EXPECT_EQ(0u, lines.back().rfind("vexilonEnd=", 0)) << result.out;
    }

    // The legacy check judges the next display device as it would have judged the first.
    const auto check = [&tool](const char* crashing) {
        testsupport::ScopedDirectory folder;
        return testsupport::ChildProcess::Run(tool, {}, folder.path(), {{"VEXILON_CRASHING_DISPLAYS", crashing},
                                                                         {"VEXILON_FAULT_RECORD", "0"}});
    };
    const ProcessResult whole = check(""), moved = check("0"), none = check("012");
    EXPECT_NE(0u, whole.exitCode) << whole.out;
    EXPECT_EQ(std::make_pair(whole.exitCode, whole.out), std::make_pair(moved.exitCode, moved.out));
    EXPECT_EQ(std::vector<std::string>{lost + "0: exception 0xc0000005"}, SplitTextModeLines(moved.err));
    EXPECT_EQ(0u, none.exitCode);
    EXPECT_EQ("Return code: 0", SplitTextModeLines(none.out).back()) << none.out;
}
