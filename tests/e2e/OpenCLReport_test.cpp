// The OpenCL and CUDA lines of the report, end to end: the real exe under
// Wine with an OpenCL runtime of the test's own where the system's would be.
#include "OpenCLFixture.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <algorithm>

using testsupport::OpenCLFixture;
using testsupport::ProcessResult;
using testsupport::SplitTextModeLines;
using testsupport::ToolRunner;

namespace {

// The report's lines that carry the OpenCL or CUDA version.
std::vector<std::string> VersionLines(const ProcessResult& result)
{
    std::vector<std::string> found;
    for (const std::string& line : SplitTextModeLines(result.out)) {
        if (line.find(".OCLVersion=") != std::string::npos || line.find(".CUDAVersion=") != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

// The block of a single GPU ends with the framebuffer line, then the versions.
void ExpectVersionsCloseTheBlock(const ProcessResult& result, const std::vector<std::string>& versions)
{
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("", result.err);
    EXPECT_EQ(versions, VersionLines(result)) << result.out;
    const std::vector<std::string> lines = SplitTextModeLines(result.out);
    ASSERT_GE(lines.size(), versions.size() + 2);
    EXPECT_EQ("gpu.TestFrameBuffer=1", lines[lines.size() - versions.size() - 2]);
}

} // namespace

TEST(OpenCLReportEndToEnd, PlatformVersionGivesTheOpenCLAndCUDALinesOfAGPUDevice)
{
    const struct {
        const char* version;
        bool gpu;
        std::vector<std::string> lines;
    } cases[] = {
        {"OpenCL 1.1 CUDA 4.2.1", true, {"gpu.OCLVersion=\"1.1\"", "gpu.CUDAVersion=\"4.2.1\""}},
        {"OpenCL 1.2 vendor-suffix", true, {"gpu.OCLVersion=\"1.2 vendor-suffix\""}},
        {"OpenCL 3.0 CUDA 12.0", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        OpenCLFixture fixture;
        fixture.addPlatform(c.version);
        c.gpu ? fixture.addGpuDevice() : fixture.addCpuDevice();
        ExpectVersionsCloseTheBlock(ToolRunner::Run({"--qz4"}, fixture.environment()), c.lines);
    }
}

// Every competing device has a rate of at least 12, so none is measured by
// drawing and the ranking is the same on any machine.
TEST(OpenCLReportEndToEnd, FailingDeviceEndsOnlyItsPlatform)
{
    // Platform one: a slow device, one that fails, then a fast one that is
    // never reached. Platform two: a device faster than the slow one and
    // without a CUDA text, so the CUDA text of the slow one stays.
    using Options = OpenCLFixture::DeviceOptions;
    for (const Options& failing : {Options().failContext(-2), Options().failCopy(-5)}) {
        OpenCLFixture fixture;
        fixture.addPlatform("OpenCL 1.1 CUDA 4.2.1")
            .addGpuDevice(Options().rate(16))
            .addGpuDevice(failing)
            .addGpuDevice(Options().rate(256))
            .addPlatform("OpenCL 1.2 second")
            .addGpuDevice(Options().rate(64));
        ExpectVersionsCloseTheBlock(ToolRunner::Run({"--qz4"}, fixture.environment()),
                                    {"gpu.OCLVersion=\"1.2 second\"", "gpu.CUDAVersion=\"4.2.1\""});
    }
}

TEST(OpenCLReportEndToEnd, FastestDeviceChoosesTheTextsAndATieKeepsTheFirst)
{
    using Options = OpenCLFixture::DeviceOptions;
    OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.1 CUDA 4.2.1")
        .addGpuDevice(Options().rate(16))
        .addPlatform("OpenCL 2.0 CUDA 9.0")
        .addGpuDevice(Options().rate(64))
        .addPlatform("OpenCL 1.2 third")
        .addGpuDevice(Options().rate(32))
        .addPlatform("OpenCL 3.0 CUDA 12.0")
        .addGpuDevice(Options().rate(64));
    ExpectVersionsCloseTheBlock(ToolRunner::Run({"--qz4"}, fixture.environment()),
                                {"gpu.OCLVersion=\"2.0\"", "gpu.CUDAVersion=\"9.0\""});
}
