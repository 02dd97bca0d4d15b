// The reports end to end: the real exe on Wine's WMI, DXGI, Direct3D and WGL,
// checked against what those report to this test directly.
#include "OpenCLFixture.h"
#include "ReferenceGL.h"
#include "ScopedDirectory.h"
#include "SystemFacts.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"
#include "WineSettings.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <tuple>

using testsupport::FreshSystemFacts;
using testsupport::OpenCLFixture;
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

Report Parse(const ProcessResult& result)
{
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
// process's GL, every field in order and nothing else between the markers;
// the fields with no value on the system are left out. Without DirectX,
// no identifiers and WMI's memory figure alone.
void ExpectTheSystemsFields(const Report& report, const FreshSystemFacts& facts, const ReferenceGL& gl, bool directX,
                            const std::string& oclVersion)
{
    ASSERT_EQ(facts.controllers.size(), report.keys.size()) << "one GPU per attached adapter";
    ASSERT_LE(report.keys.size(), facts.adapters.size());
    std::size_t count = 0;
    for (std::size_t i = 0; i < report.keys.size(); ++i) {
        const auto& controller = facts.controllers[i];
        // llvmpipe offers neither vendor's memory query: the larger of WMI's
        // and DXGI's figures stands.
        const std::uint64_t bytes =
            std::max<std::uint64_t>(controller.adapterRAM, directX ? facts.adapters[i].dedicatedVideoMemory : 0);
        const std::vector<std::pair<std::string, std::string>> fields = {
            {"OGLVersion", Quoted("3.0")},
            {"MemoryMB", std::to_string(bytes >> 20)},
            {"RectTextureSize", std::to_string(gl.integer(0x84F8 /* GL_MAX_RECTANGLE_TEXTURE_SIZE */))},
            {"Renderer", Quoted(gl.text(GL_RENDERER))},
            {"RendererID", std::to_string(directX ? facts.adapters[i].deviceID : 0)},
            {"Vendor", Quoted(gl.text(GL_VENDOR))},
            {"VendorID", std::to_string(directX ? facts.adapters[i].vendorID : 0)},
            {"HasNPOTSupport", gl.hasExtension("GL_ARB_texture_non_power_of_two") ? "1" : "0"},
            {"DriverVersion", controller.driverVersion.empty() ? "" : Quoted(controller.driverVersion)},
            {"Driver", controller.installedDisplayDrivers.empty() ? "" : Quoted(controller.installedDisplayDrivers)},
            {"DriverDate", controller.driverDate.empty() ? "" : Quoted(controller.driverDate)},
            {"CompileProgramGLSL", "1"},
            {"TestFrameBuffer", "1"},
            {"OCLVersion", oclVersion.empty() ? "" : Quoted(oclVersion)}};
        std::vector<std::string> keys;
        for (const auto& field : fields) {
            if (!field.second.empty()) {
                keys.push_back(field.first);
                EXPECT_EQ(field.second, report.values[i].count(field.first) ? report.values[i].at(field.first) : "")
                    << field.first;
            }
        }
        EXPECT_EQ(keys, report.keys[i]);
        count += keys.size();
    }
    EXPECT_EQ(3 + count, report.lines.size());
}

} // namespace

// Wine's own components switched off, one at a time, or set to another
// adapter, as on machines without them, and the test OpenCL runtime's
// devices: what the report, its JSON document and the legacy check then say.
// Wine's WMI needs its DXGI; its Direct3D 10 needs pixel shader 4. While a
// runtime is in use GL draws go untimed unless a case shows the timer query,
// so a device's rate is its own on any machine: 12 is enough, 11 is not.
TEST(ReportEndToEnd, WhatARunSaysWithWinesComponentsOffOrChangedAndTheOpenCLDevices)
{
    using testsupport::WineSettings;
    enum Sources { kNoWMI, kWMI, kDirectX };
    const std::string noLocator = "Failed to create IWbemLocator object. Err code = 0x80040154";
    const std::vector<std::string> passed = {"Return code: 1"}, d3d9 = {"shader model: ffff0300", "Return code: 1"};
    const std::vector<std::pair<std::string, double>> fast = {{"OpenCL 1.2 fix\r\nture", 2},
                                                              {"OpenCL 1.2 fix\r\nture", 12}};
    const struct {
        const char* name;
        std::vector<std::string> off;  // libraries
        std::function<void(WineSettings&)> settings;
        std::vector<std::pair<std::string, double>> devices;  // platform version, rate; none: the host's PoCL's
        Sources sources;
        std::string oclVersion;
        std::string legacyFirst;             // "": the controllers' lines
        std::vector<std::string> legacyEnd;  // after "OpenGL ok"; none: the machine's speed decides
        bool lavapipe;                       // listed in the document, untied
    } cases[] = {
        {"default", {}, nullptr, {}, kDirectX, "", "", passed, true},
        {"another adapter", {},
         [](WineSettings& wine) {
             wine.setDword("VideoPciVendorID", 0x1002);
             wine.setDword("VideoPciDeviceID", 0x67DF);
             wine.setString("VideoMemorySize", "2048");
         },
         {}, kDirectX, "", "Device: Radeon (TM) RX 480 Graphics has video RAM(MB): 2048", passed, true},
        {"without wbemprox", {"wbemprox"}, nullptr, {}, kNoWMI, "", noLocator, passed, false},
        {"without dxgi", {"dxgi"}, nullptr, {}, kNoWMI, "", noLocator, d3d9, false},
        {"without d3d9", {"d3d9"}, nullptr, {}, kWMI, "", "", passed, true},
        {"without d3d10 and d3d9", {"d3d10", "d3d9"}, nullptr, {}, kWMI, "", "",
         {"Error in loading DirectX: 126", "Return code: 0"}, true},
        {"PS 2.0", {}, [](WineSettings& wine) { wine.setDword("MaxShaderModelPS", 2); }, {}, kDirectX, "", "",
         {"shader model: 4294902272", "Return code: 0"}, true},
        {"without vulkan-1", {"vulkan-1"}, nullptr, {}, kDirectX, "", "", passed, false},
        {"fast device", {}, nullptr, fast, kDirectX, "1.2 fix  ture", "",
         {"OpenCL ok, version=1.2 fix  ture", "Return code: 3"}, true},
        {"without opencl", {"opencl"}, nullptr, fast, kDirectX, "", "", passed, true},
        {"no device passes", {}, nullptr, {{"OpenCL 1.2 fixture", 11}, {"OpenCL 1.0 fixture", 12}}, kDirectX,
         "1.0 fixture", "", passed, true},
        // A device below the threshold has its GL rate measured through the
        // real draws, which must neither fail nor lose it the rank its
        // OpenCL rate of 2 already gives, however fast the machine draws; the
        // check's threshold of 12 is the machine's.
        {"the GL rate", {},
         [](WineSettings& wine) { wine.setString("Software\\Wine\\OpenGL", "DisabledExtensions", ""); },
         {{"OpenCL 1.1 gl", 2}}, kDirectX, "1.1 gl", "", {}, true},
    };
    const ReferenceGL gl;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<OpenCLFixture> opencl(c.devices.empty() ? nullptr : new OpenCLFixture);
        std::string platform;
        for (const auto& device : c.devices) {
            if (device.first != platform) {
                opencl->addPlatform(platform = device.first);
            }
            opencl->addGpuDevice(OpenCLFixture::DeviceOptions().rate(device.second));
        }
        WineSettings wine;  // after the runtime's own settings, to change them
        for (const std::string& library : c.off) {
            wine.disableLibrary(library);
        }
        if (c.settings) {
            c.settings(wine);
        }
        const FreshSystemFacts facts = FreshSystemFacts::Read();
        const std::map<std::string, std::string> environment =
            opencl ? opencl->environment() : std::map<std::string, std::string>();
        const ProcessResult run = ToolRunner::Run({"--qz4"}, environment);
        const ProcessResult json = ToolRunner::Run({"--qz4", "--format=json"}, environment);
        if (c.sources == kNoWMI) {
            const std::string failed = "exception: CoCreateInstance\r\n";
            EXPECT_EQ(std::make_tuple(2u, failed, 1u),
                      std::make_tuple(run.exitCode, run.err, SplitTextModeLines(run.out).size()));
            EXPECT_EQ(std::make_tuple(2u, failed, std::string()), std::make_tuple(json.exitCode, json.err, json.out));
        } else {
            ExpectTheSystemsFields(Parse(run), facts, gl, c.sources == kDirectX, c.oclVersion);
            // Lavapipe ties to no GPU: Wine gives it no LUID, DXGI another vendor.
            const nlohmann::json untied =
                nlohmann::json::parse(json.out).value("unmatchedVulkanDevices", nlohmann::json::array());
            EXPECT_EQ(c.lavapipe, untied.size() == 1 && untied[0]["deviceType"] == "cpu") << json.out;
        }

        // Video memory in whole MiB, as WMI reports it under the settings.
        std::string expected = c.legacyFirst.empty() ? "" : c.legacyFirst + "\r\n";
        for (const auto& controller : c.legacyFirst.empty() ? facts.controllers : decltype(facts.controllers)()) {
            expected += "Device: " + controller.caption +
                        " has video RAM(MB): " + std::to_string(controller.adapterRAM >> 20) + "\r\n";
        }
        expected += "Vendor string:    " + gl.text(GL_VENDOR) + "\r\nRenderer string:  " + gl.text(GL_RENDERER) +
                    "\r\nVersion string:   " + gl.text(GL_VERSION) +
                    "\r\n\r\nOpenGL version as determined by Quernwheel...\r\nOpenGL Version 3.0\r\n"
                    "Has NPOT support: TRUE\r\nHas Framebuffer Object Extension support: TRUE\r\nOpenGL ok\r\n";
        for (const std::string& line : c.legacyEnd) {
            expected += line + "\r\n";
        }
        // Without --qz4 the report's switches change nothing.
        const ProcessResult check = ToolRunner::Run({"--app=Lumatrope", "--failAfter=0"}, environment);
        EXPECT_EQ(expected, c.legacyEnd.empty() ? check.out.substr(0, expected.size()) : check.out);
        EXPECT_EQ("", check.err);
        if (!c.legacyEnd.empty()) {
            EXPECT_EQ(std::stoul(c.legacyEnd.back().substr(13)), check.exitCode);
        }
    }
}

// A display driver that crashes while a display device makes its context
// costs only that device: the rows after it go on with the next one. One that
// crashes in a GPU's block costs the rest of that block, and once only: the
// next run skips it while the driver is the same.
TEST(ReportEndToEnd, ADisplayDriverCrashCostsOnlyTheDeviceOrTheBlockItStruck)
{
    const std::string tool = testsupport::TestEnvironment::FixtureBuildPath("displays/vexilon_crashing_displays.exe");
    const std::string lost = "probe failed: listing the GPUs, device ", crash = ": exception 0xc0000005";
    const auto run = [&tool](const std::vector<std::string>& arguments, const char* crashing, const char* context,
                             const std::string& cache = std::string()) {
        testsupport::ScopedDirectory folder;
        std::map<std::string, std::string> environment = {{"VEXILON_CRASHING_DISPLAYS", crashing},
                                                          {"VEXILON_CRASHING_CONTEXT", context}};
        environment.insert(cache.empty() ? std::make_pair(std::string("VEXILON_FAULT_RECORD"), std::string("0"))
                                         : std::make_pair(std::string("LOCALAPPDATA"), cache));
        return testsupport::ChildProcess::Run(tool, arguments, folder.path(), environment);
    };
    const struct {
        const char* crashing;
        const char* context;  // "<device><n>": its context crashes when made current the n-th time
        unsigned gpus;
        std::vector<std::string> err;
    } cases[] = {
        {"", "", 3, {}},
        {"1", "", 2, {lost + "1" + crash}},
        {"20", "", 1, {lost + "0" + crash, lost + "2" + crash}},
        {"", "13", 3, {"DoRunGPU exception", "probe failed: gpu[1], Renderer" + crash}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.crashing) + " " + c.context);
        const ProcessResult result = run({"--qz4"}, c.crashing, c.context);
        const std::vector<std::string> lines = SplitTextModeLines(result.out);
        EXPECT_EQ(0u, result.exitCode);
        EXPECT_EQ(c.err, SplitTextModeLines(result.err));
        ASSERT_LE(3u, lines.size()) << result.out;
        EXPECT_EQ("NumGPUs=" + std::to_string(c.gpus), lines[1]);
        EXPECT_EQ(0u, lines.back().rfind("vexilonEnd=", 0)) << result.out;
    }
    testsupport::ScopedDirectory cache;
    run({"--qz4"}, "", "13", cache.path());
    const ProcessResult skipped = run({"--qz4"}, "", "13", cache.path());
    const std::string skip = "DoRunGPU exception\r\nprobe skipped: gpu\\[1\\], Renderer" + crash + " on [0-9-]{10} ";
    EXPECT_TRUE(std::regex_match(skipped.err, std::regex(skip + "with this driver\r\n"))) << skipped.err;

    // The legacy check judges the next display device as it would have judged
    // the first; a crash in its GL steps fails it.
    const ProcessResult whole = run({}, "", ""), moved = run({}, "0", ""), none = run({}, "012", "");
    EXPECT_NE(0u, whole.exitCode) << whole.out;
    EXPECT_EQ(std::make_pair(whole.exitCode, whole.out), std::make_pair(moved.exitCode, moved.out));
    EXPECT_EQ(std::vector<std::string>{lost + "0" + crash}, SplitTextModeLines(moved.err));
    EXPECT_EQ(0u, none.exitCode);
    EXPECT_EQ("Return code: 0", SplitTextModeLines(none.out).back()) << none.out;
    const ProcessResult gl = run({}, "", "01");
    EXPECT_EQ(std::make_pair(0u, "probe failed: OpenGL check" + crash + "\r\n"), std::make_pair(gl.exitCode, gl.err));
    EXPECT_EQ("Return code: 0", SplitTextModeLines(gl.out).back()) << gl.out;
    // The next run skips the check's GL stage where it faulted, with the same
    // output: the controllers' lines, which ask no GL driver, included.
    const ProcessResult faulted = run({}, "", "01", cache.path()), skippedCheck = run({}, "", "01", cache.path());
    EXPECT_LT(1u, SplitTextModeLines(faulted.out).size()) << faulted.out;
    EXPECT_EQ(std::make_pair(0u, faulted.out), std::make_pair(skippedCheck.exitCode, skippedCheck.out));
    EXPECT_EQ(0u, skippedCheck.err.find("probe skipped: OpenGL check" + crash + " on ")) << skippedCheck.err;
}
