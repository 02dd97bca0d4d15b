// GL drivers that crash or hang, end to end on the native tool: a preloaded
// stand-in driver lists Mesa's software device as two GPUs and faults at a
// chosen glGetString.
#include "OpenCLFixture.h"
#include "ScopedDirectory.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

using testsupport::ProcessResult;
using testsupport::SplitTextModeLines;
using testsupport::TestEnvironment;
using testsupport::ToolRunner;

namespace {

// Far beyond what any run here needs: a tool that outlives it is stuck.
const testsupport::TimeoutMs kBound = 120000;

ProcessResult RunWith(const std::string& fault, const std::vector<std::string>& arguments)
{
    return ToolRunner::Run(arguments, {{"LD_PRELOAD", TestEnvironment::FixtureBuildPath("glfault/libVexilonGLFault.so")},
                                       {"VEXILON_GL_TWO_GPUS", "1"},
                                       {"VEXILON_GL_FAULT", fault},
                                       {"ASAN_OPTIONS", "detect_leaks=1:handle_segv=0:verify_asan_link_order=0"}},
                           std::string(), kBound);
}

// The lines of a report without its time-stamped markers.
std::vector<std::string> Unstamped(const std::string& out)
{
    std::vector<std::string> lines;
    for (const std::string& line : SplitTextModeLines(out)) {
        if (line.compare(0, 12, "vexilonStart") != 0 && line.compare(0, 10, "vexilonEnd") != 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

// `lines` without the lines of `tag`'s block from field `from` on (a
// Lumatrope report: up to `tag`'s fields and the symbol line of its first query group).
std::vector<std::string> Cut(const std::vector<std::string>& lines, const std::string& tag, std::size_t from,
                             bool queries)
{
    std::vector<std::string> kept;
    std::size_t field = 0;
    for (const std::string& line : lines) {
        const bool own = line.compare(0, tag.size() + 1, tag + ".") == 0;
        if (queries && !kept.empty() && kept.back().compare(0, tag.size() + 1, tag + ".") == 0 && !own) {
            kept.push_back(line);
            break;
        }
        if (!own || queries || field++ < from) {
            kept.push_back(line);
        }
    }
    return kept;
}

} // namespace

TEST(ProbeFaultsEndToEnd, AGLFaultCostsOnlyWhatDependsOnIt)
{
    const ProcessResult plain = RunWith("", {"--qz4"}), lumatrope = RunWith("", {"--qz4", "--app=Lumatrope"});
    const std::vector<std::string> report = Unstamped(plain.out);
    ASSERT_EQ("NumGPUs=2", report.at(0)) << plain.out << plain.err;
    const struct {
        std::string fault;
        std::vector<std::string> arguments;
        std::vector<std::string> out;
        std::string err;
        unsigned exitCode;
    } cases[] = {
        {"crash:0:1f01", {"--qz4"}, Cut(report, "gpu[0]", 3, false),
         "DoRunGPU exception\nprobe failed: gpu[0], Renderer: signal 11 (Segmentation fault)\n", 0},
        {"abort:1:1f01", {"--qz4"}, Cut(report, "gpu[1]", 3, false),
         "DoRunGPU exception\nprobe failed: gpu[1], Renderer: signal 6 (Aborted)\n", 0},
        {"hang:0:1f01", {"--qz4", "--timeout=8"}, Cut(report, "gpu[0]", 3, false),
         "DoRunGPU exception\nprobe failed: gpu[0], Renderer: no progress for 8 s\n", 0},
        {"crash:1:8b8c", {"--qz4", "--app=Lumatrope"}, Cut(Unstamped(lumatrope.out), "gpu[1]", 0, true),
         "exception: probe failed: gpu[1], Lumatrope query groups: signal 11 (Segmentation fault)\n", 2},
        {"exit:1:1f01", {"--qz4"}, Cut(report, "gpu[1]", 3, false),
         "DoRunGPU exception\nprobe failed: gpu[1], Renderer: exit status 3\n", 0},
        {"crash:devices", {"--qz4"}, {}, "exception: probe failed: listing the GPUs: signal 11 (Segmentation fault)\n", 2},
        // Again at the same place in the next probe: the run ends there.
        {"crash:end", {"--qz4"}, report, "exception: probe failed: the end of the report: signal 11 (Segmentation fault)\n", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        const ProcessResult result = RunWith(c.fault, c.arguments);
        EXPECT_EQ(c.exitCode, result.exitCode);
        EXPECT_EQ(c.err, result.err);
        EXPECT_EQ(c.out, Unstamped(result.out)) << result.out;
        EXPECT_EQ(c.exitCode == 0, result.out.find("vexilonEnd=") != std::string::npos);
    }

    // The legacy check: the reason, then the failed status.
    const ProcessResult legacy = RunWith("crash:0:1f01", {});
    EXPECT_EQ(0u, legacy.exitCode);
    EXPECT_EQ("probe failed: OpenGL check: signal 11 (Segmentation fault)\n", legacy.err);
    const std::vector<std::string> check = SplitTextModeLines(legacy.out);
    ASSERT_EQ(2u, check.size()) << legacy.out;
    EXPECT_EQ("Vendor string:    ", check[0].substr(0, 18));
    EXPECT_EQ("Return code: 0", check[1]);

    // A line break in a driver's text splits no line of the report or the check.
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--qz4"}, std::vector<std::string>{}}) {
        const ProcessResult broken = ToolRunner::Run(
            arguments, {{"LD_PRELOAD", TestEnvironment::FixtureBuildPath("glfault/libVexilonGLFault.so")},
                        {"VEXILON_GL_RENDERER", "a\rb\r\nc\nd\r\n"}, {"ASAN_OPTIONS", "verify_asan_link_order=0"}});
        const std::vector<std::string> lines = SplitTextModeLines(broken.out);
        const std::string expected = arguments.empty() ? "Renderer string:  a b  c d  " : "gpu.Renderer=\"a b  c d  \"";
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), expected)) << broken.out;
    }

    // The JSON document: the lost GPU's fields so far and what was lost.
    const nlohmann::json document = nlohmann::json::parse(RunWith("crash:0:1f01", {"--qz4", "--format=json"}).out);
    EXPECT_EQ("probe failed: gpu[0], Renderer: signal 11 (Segmentation fault)", document["gpus"][0]["failure"]);
    EXPECT_EQ(3u, document["gpus"][0]["fields"].size());
    EXPECT_FALSE(document["gpus"][1].contains("failure"));
    EXPECT_EQ(std::count_if(report.begin(), report.end(), [](const std::string& line) { return line.rfind("gpu[1].", 0) == 0; }),
              static_cast<long>(document["gpus"][1]["fields"].size()));
}

// A probe holds nothing of the tool's but its private pipes, and one that
// hangs in its drivers' clean-up, after its last word, is ended with the tool:
// nothing is left that could hold a host's pipes open.
TEST(ProbeFaultsEndToEnd, AProbeHoldsOnlyItsOwnPipesAndDoesNotOutliveTheTool)
{
    testsupport::ScopedDirectory folder;
    const std::string listed = folder.file("open"), held = folder.file("held");
    testsupport::OpenCLFixture opencl;
    std::map<std::string, std::string> environment = opencl.addPlatform("OpenCL 1.2 x").addGpuDevice().environment();
    environment.insert({{"VEXILON_OCL_FAULT", "hang:unload"}, {"VEXILON_OCL_FDS", listed}});
    const int inheritable = ::open(held.c_str(), O_CREAT | O_WRONLY, 0600);  // as a host's may be
    const ProcessResult result = ToolRunner::Run({"--qz4"}, environment, std::string(), kBound);
    ::close(inheritable);
    EXPECT_EQ(0u, result.exitCode);
    std::map<int, std::string> open;
    std::ifstream list(listed);
    for (std::pair<int, std::string> entry; list >> entry.first >> entry.second;) {
        open.insert(entry);
    }
    EXPECT_EQ("/dev/null", open[0]);
    EXPECT_EQ(0u, open[1].rfind("pipe:", 0));
    EXPECT_EQ(0u, open[2].rfind("pipe:", 0));
    for (const auto& entry : open) {
        EXPECT_NE(held, entry.second) << entry.first;
    }
    DIR* processes = opendir("/proc");
    ASSERT_NE(nullptr, processes);
    while (const dirent* entry = readdir(processes)) {
        std::ifstream environ(std::string("/proc/") + entry->d_name + "/environ", std::ios::binary);
        const std::string variables((std::istreambuf_iterator<char>(environ)), std::istreambuf_iterator<char>());
        EXPECT_EQ(std::string::npos, variables.find("VEXILON_OCL_FDS=" + listed)) << entry->d_name;
    }
    closedir(processes);
}
