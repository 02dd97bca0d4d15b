// The native tool end to end on this machine's EGL: with no GPU, the report
// and the legacy check describe Mesa's software device, and agree with a
// context this test opens on that device itself.
#include "LumatropeGroups.h"
#include "ReferenceGL.h"
#include "OpenCLFixture.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include "zeb/ogl/ContextOffscreen.h"
#include "zeb/ogl/EGLDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <regex>

using testsupport::OpenCLFixture;
using testsupport::ProcessResult;
using testsupport::ReferenceGL;
using testsupport::SplitTextModeLines;
using testsupport::ToolRunner;

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The report's lines between its count and its end marker.
std::vector<std::string> Body(const ProcessResult& result, std::size_t countLine)
{
    const std::vector<std::string> lines = SplitTextModeLines(result.out);
    if (lines.size() < countLine + 2 || lines[countLine] != "NumGPUs=1" ||
        !std::regex_match(lines.back(), std::regex("vexilonEnd=\"[0-9_:-]{19}\""))) {
        ADD_FAILURE() << "not a report of one GPU:\n" << result.out;
        return {};
    }
    return std::vector<std::string>(lines.begin() + countLine + 1, lines.end() - 1);
}

std::vector<std::string> SoftwareBlock(const ReferenceGL& gl)
{
    std::vector<std::string> block = {"gpu.OGLVersion=\"3.0\"", "gpu.MemoryMB=0",
                                      "gpu.RectTextureSize=" + std::to_string(gl.integer(0x84F8)),
                                      "gpu.Renderer=" + Quoted(gl.text(GL_RENDERER)), "gpu.RendererID=0",
                                      "gpu.Vendor=" + Quoted(gl.text(GL_VENDOR)), "gpu.VendorID=0",
                                      "gpu.HasNPOTSupport=1"};
    // Mesa's release, as its own GL_VERSION names it.
    std::smatch mesa;
    const std::string version = gl.text(GL_VERSION);
    if (!std::regex_search(version, mesa, std::regex("(^| )Mesa (.+)$"))) {
        ADD_FAILURE() << "the software device's GL_VERSION names no Mesa: " << version;
    }
    block.push_back("gpu.DriverVersion=" + Quoted(mesa[2]));
    if (!gl.driverName().empty()) {
        block.push_back("gpu.Driver=" + Quoted(gl.driverName()));
    }
    block.push_back("gpu.CompileProgramGLSL=1");
    block.push_back("gpu.TestFrameBuffer=1");
    return block;
}

} // namespace

TEST(NativeToolEndToEnd, ReportsDescribeTheSoftwareDeviceAsTheGLDoes)
{
    const ReferenceGL gl;
    ASSERT_TRUE(gl.available()) << "EGL offers no software device here";
    std::vector<std::string> expected = SoftwareBlock(gl);
    // PoCL, the only OpenCL here, has no GPU device: no OpenCL lines.
    const ProcessResult plain = ToolRunner::Run({"--qz4"});
    EXPECT_EQ(0u, plain.exitCode);
    EXPECT_EQ("", plain.err);
    EXPECT_EQ(expected, Body(plain, 1));

    const std::vector<std::string> groups = testsupport::LumatropeGroupLines(gl.lumatropeAnswers());
    expected.insert(expected.end(), groups.begin(), groups.end());
    const ProcessResult lumatrope = ToolRunner::Run({"--qz4", "--app=Lumatrope"});
    EXPECT_EQ(0u, lumatrope.exitCode);
    EXPECT_EQ("", lumatrope.err);
    EXPECT_EQ("Tester=\"Lumatrope\"", SplitTextModeLines(lumatrope.out).at(0));
    EXPECT_EQ(expected, Body(lumatrope, 2));
}

// A GPU device below the OpenCL rate threshold counts its OpenGL rate if that
// is higher: the real draws on the software device, timed at the stand-in
// driver's answer (2147483648 bytes drawn in that many ns). The check leaves
// out OpenCL 1.0, however fast. (The check's whole text: the Windows tables.)
TEST(NativeToolEndToEnd, ASlowOpenCLDeviceCountsItsOpenGLRate)
{
    OpenCLFixture both, slow;
    both.addPlatform("OpenCL 1.2 fast").addGpuDevice(OpenCLFixture::DeviceOptions().rate(39));
    both.addPlatform("OpenCL 1.1 slow").addGpuDevice(OpenCLFixture::DeviceOptions().rate(11));
    slow.addPlatform("OpenCL 1.1 slow").addGpuDevice(OpenCLFixture::DeviceOptions().rate(11));
    slow.addPlatform("OpenCL 1.1 CUDA 1.0").addGpuDevice(OpenCLFixture::DeviceOptions().rate(16));
    // GL rates 40 and 12: the report's version, the better device's; the check (the slow one alone) passes.
    const std::pair<const char*, std::string> cases[] = {{"53687091", "1.1 slow"}, {"178956970", "1.2 fast"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        // Sanitizer builds: llvmpipe's draws hang under the slow unwinder that the leak check's options ask for.
        std::map<std::string, std::string> timed = {
            {"MESA_EXTENSION_OVERRIDE", "+GL_ARB_timer_query"}, {"VEXILON_GL_ELAPSED_NS", c.first},
            {"LD_PRELOAD", testsupport::TestEnvironment::FixtureBuildPath("glfault/libVexilonGLFault.so")},
            {"ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0"}, {"LSAN_OPTIONS", "fast_unwind_on_malloc=1"}};
        const std::map<std::string, std::string> fixture = both.environment();
        timed.insert(fixture.begin(), fixture.end());  // the timer query stays
        const std::vector<std::string> report = SplitTextModeLines(ToolRunner::Run({"--qz4"}, timed).out);
        EXPECT_NE(report.end(), std::find(report.begin(), report.end(), "gpu.OCLVersion=" + Quoted(c.second)));
        timed["VEXILON_OCL_FIXTURE"] = slow.environment().at("VEXILON_OCL_FIXTURE");
        const std::vector<std::string> check = SplitTextModeLines(ToolRunner::Run({}, timed).out);
        EXPECT_EQ((std::vector<std::string>{"OpenCL ok, version=1.1 slow", "Return code: 3"}),
                  std::vector<std::string>(check.end() - std::min<std::size_t>(2, check.size()), check.end()));
    }
}
