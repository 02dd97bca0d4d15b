// Drivers that crash, abort or hang, end to end: the probes run in a watched
// child process, so the host still gets its answer, complete where it can be.
// OpenCL faults come from the test OpenCL runtime (VEXILON_OCL_FAULT).
#include "OpenCLFixture.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>

using testsupport::OpenCLFixture;
using testsupport::ProcessResult;
using testsupport::SplitTextModeLines;
using testsupport::TestEnvironment;
using testsupport::ToolRunner;

namespace {

// Far beyond what any run here needs: a tool that outlives it is stuck.
const testsupport::TimeoutMs kBound = 120000;

// The report without its time-stamped markers; the legacy check whole.
std::vector<std::string> Body(const ProcessResult& result, bool report)
{
    std::vector<std::string> lines = SplitTextModeLines(result.out);
    if (report && lines.size() >= 2) {
        lines = std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
    }
    return lines;
}

ProcessResult RunWith(const OpenCLFixture& fixture, const std::string& fault, const std::vector<std::string>& arguments)
{
    std::map<std::string, std::string> environment = fixture.environment();
    environment["VEXILON_OCL_FAULT"] = fault;
    // Sanitizer builds: a crash must end the probe as it ends a plain one.
    environment["ASAN_OPTIONS"] = "detect_leaks=1:handle_segv=0";
    return ToolRunner::Run(arguments, environment, std::string(), kBound);
}

} // namespace

// An OpenCL runtime that faults costs the OpenCL lines only, as on a machine
// without an OpenCL GPU device; one that hangs after everything is written
// costs nothing, nor does one quiet for a while within the deadline. A hang
// is given a deadline that a loaded machine meets everywhere else, and is
// never ended before it.
TEST(ProbeFaultsEndToEnd, AnOpenCLFaultCostsOnlyTheOpenCLLines)
{
    OpenCLFixture gpu;
    gpu.addPlatform("OpenCL 1.2 fixture").addGpuDevice(OpenCLFixture::DeviceOptions().rate(16));
    OpenCLFixture cpu;
    cpu.addPlatform("OpenCL 1.2 fixture").addCpuDevice();
    const std::vector<std::string> report = {"--qz4"}, legacy = {};
    const ProcessResult withoutGPU = RunWith(cpu, "", report), withOpenCL = RunWith(gpu, "", report);
    const ProcessResult checkWithoutGPU = RunWith(cpu, "", legacy);
    const struct {
        std::string fault;
        std::vector<std::string> arguments;
        const ProcessResult& expected;
        std::string err;  // a pattern
    } cases[] = {
        {"crash:clEnqueueCopyBuffer", report, withoutGPU, "probe failed: OpenCL probe \\(gpu\\): .+"},
        {"abort:clGetPlatformIDs", report, withoutGPU, "probe failed: OpenCL probe \\(gpu\\): .+"},
        {"hang:clGetPlatformIDs", {"--qz4", "--timeout=8"}, withoutGPU,
         "probe failed: OpenCL probe \\(gpu\\): no progress for 8 s"},
        {"exit:clEnqueueCopyBuffer", report, withoutGPU, "probe failed: OpenCL probe \\(gpu\\): exit status 3"},
        {"hang:unload", report, withOpenCL, ""},
        {"pause:clGetPlatformIDs", report, withOpenCL, ""},  // quiet, but well within the deadline
        {"crash:clEnqueueCopyBuffer", legacy, checkWithoutGPU, "probe failed: OpenCL check: .+"},
        {"exit:clEnqueueCopyBuffer", legacy, checkWithoutGPU, "probe failed: OpenCL check: exit status 3"},
        {"hang:clGetPlatformIDs", {"--timeout=8"}, checkWithoutGPU, "probe failed: OpenCL check: no progress for 8 s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault + (c.arguments.empty() ? " legacy" : " report"));
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult result = RunWith(gpu, c.fault, c.arguments);
        if (c.err.find("no progress for 8 s") != std::string::npos) {  // never before the deadline
            EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
        }
        EXPECT_EQ(c.expected.exitCode, result.exitCode);
        EXPECT_EQ(Body(c.expected, !c.arguments.empty()), Body(result, !c.arguments.empty())) << result.out;
        const std::string lineEnd = c.err.empty() ? "" : TestEnvironment::LineEnd();
        EXPECT_TRUE(std::regex_match(result.err, std::regex(c.err + lineEnd))) << result.err;
    }
}
