// The OpenCL and CUDA lines of the report, end to end: the real exe under
// Wine with an OpenCL runtime of the test's own where the system's would be.
#include "OpenCLFixture.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

using testsupport::OpenCLFixture;
using testsupport::ProcessResult;
using testsupport::SplitTextModeLines;
using testsupport::ToolRunner;

namespace {

// A single GPU's block ends with the framebuffer line, then the versions.
void ExpectVersionsCloseTheBlock(const ProcessResult& result, std::vector<std::string> versions)
{
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("", result.err);
    versions.insert(versions.begin(), "gpu.TestFrameBuffer=1");
    const std::vector<std::string> lines = SplitTextModeLines(result.out);
    ASSERT_GT(lines.size(), versions.size()) << result.out;
    EXPECT_EQ(versions, std::vector<std::string>(lines.end() - 1 - versions.size(), lines.end() - 1)) << result.out;
}

} // namespace

// Every competing device has a rate of at least 12, so none is measured by
// drawing and the ranking is the same on any machine.
TEST(OpenCLReportEndToEnd, TheFastestGPUDeviceGivesTheOpenCLAndCUDALines)
{
    using Options = OpenCLFixture::DeviceOptions;
    OpenCLFixture cuda, vendor, cpuOnly, failingContext, failingCopy, ranked, breaks, slowest, tooSlow;
    cuda.addPlatform("OpenCL 1.1 CUDA 4.2.1").addGpuDevice();
    vendor.addPlatform("OpenCL 1.2 vendor-suffix").addGpuDevice();
    cpuOnly.addPlatform("OpenCL 3.0 CUDA 12.0").addCpuDevice();
    // Platform one: a slow device, one that fails, then a fast one that is
    // never reached. Platform two: a device faster than the slow one and
    // without a CUDA text, so the CUDA text of the slow one stays.
    for (OpenCLFixture* failing : {&failingContext, &failingCopy}) {
        failing->addPlatform("OpenCL 1.1 CUDA 4.2.1")
            .addGpuDevice(Options().rate(16))
            .addGpuDevice(failing == &failingContext ? Options().failContext(-2) : Options().failCopy(-5))
            .addGpuDevice(Options().rate(256));
        failing->addPlatform("OpenCL 1.2 second").addGpuDevice(Options().rate(64));
    }
    // Both directions of every copy count: 1 byte per ns still ranks, half of it is nothing.
    slowest.addPlatform("OpenCL 1.2 slowest").addGpuDevice(Options().rate(1));
    tooSlow.addPlatform("OpenCL 1.2 too slow").addGpuDevice(Options().rate(0.5));
    breaks.addPlatform("OpenCL 1.2 a\rb\r\nc\n CUDA 2\r\n").addGpuDevice();
    // A tie keeps the first of the fastest.
    ranked.addPlatform("OpenCL 1.1 CUDA 4.2.1").addGpuDevice(Options().rate(16));
    ranked.addPlatform("OpenCL 2.0 CUDA 9.0").addGpuDevice(Options().rate(64));
    ranked.addPlatform("OpenCL 1.2 third").addGpuDevice(Options().rate(32));
    ranked.addPlatform("OpenCL 3.0 CUDA 12.0").addGpuDevice(Options().rate(64));
    const struct {
        const char* name;
        const OpenCLFixture& fixture;
        std::vector<std::string> lines;
    } cases[] = {
        {"CUDA text", cuda, {"gpu.OCLVersion=\"1.1\"", "gpu.CUDAVersion=\"4.2.1\""}},
        {"no CUDA text", vendor, {"gpu.OCLVersion=\"1.2 vendor-suffix\""}},
        {"CPU device only", cpuOnly, {}},
        {"failing context", failingContext, {"gpu.OCLVersion=\"1.2 second\"", "gpu.CUDAVersion=\"4.2.1\""}},
        {"failing copy", failingCopy, {"gpu.OCLVersion=\"1.2 second\"", "gpu.CUDAVersion=\"4.2.1\""}},
        {"ranking", ranked, {"gpu.OCLVersion=\"2.0\"", "gpu.CUDAVersion=\"9.0\""}},
        {"slowest that ranks", slowest, {"gpu.OCLVersion=\"1.2 slowest\""}},
        {"too slow to rank", tooSlow, {}},
        {"line breaks", breaks, {"gpu.OCLVersion=\"1.2 a b  c \"", "gpu.CUDAVersion=\"2  \""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectVersionsCloseTheBlock(ToolRunner::Run({"--qz4"}, c.fixture.environment()), c.lines);
    }
}
