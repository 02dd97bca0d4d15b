// The run driver end to end: the real vexilon_gpu (under Wine on Windows).
#include "ChildProcess.h"
#include "OpenCLFixture.h"
#include "ScopedDirectory.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "report/JsonReport.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <regex>
#include <thread>

using testsupport::ChildProcess;
using testsupport::ProcessResult;
using testsupport::ScopedDirectory;
using testsupport::SplitTextModeLines;
using testsupport::TestEnvironment;
using testsupport::ToolRunner;

namespace {

const std::regex kStartMarker("vexilonStart=\"\\d{4}-\\d{2}-\\d{2}_\\d{2}:\\d{2}:\\d{2}\"");
const std::regex kEndMarker("vexilonEnd=\"\\d{4}-\\d{2}-\\d{2}_\\d{2}:\\d{2}:\\d{2}\"");

std::string LocalStamp()
{
    const std::time_t now = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H:%M:%S", std::localtime(&now));
    return text;
}

} // namespace

TEST(DriverEndToEnd, TesterModeWritesStampedMarkersAroundTheReport)
{
    const std::string before = LocalStamp();
    // Only "Lumatrope" exactly selects that host's report.
    const ProcessResult result = ToolRunner::Run({"--qz4", "--verbose", "--x=1", "--failAfter=-7", "--app=lumatrope"});
    const std::string after = LocalStamp();
    EXPECT_EQ(0u, result.exitCode) << result.err;
    const std::string& lineEnd = TestEnvironment::LineEnd();
    EXPECT_EQ("unknown argument ignored: verbose" + lineEnd + "unknown argument ignored: x=1" + lineEnd, result.err);
    const std::vector<std::string> lines = SplitTextModeLines(result.out);
    ASSERT_GE(lines.size(), 3u) << result.out;
    ASSERT_TRUE(std::regex_match(lines.front(), kStartMarker)) << lines.front();
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("NumGPUs=\\d+"))) << lines[1];
    ASSERT_TRUE(std::regex_match(lines.back(), kEndMarker)) << lines.back();
    EXPECT_EQ('\n', result.out.back());
    // The stamps are the machine's local time when they were written.
    const std::string start = lines.front().substr(14, 19);
    const std::string end = lines.back().substr(12, 19);
    EXPECT_LE(before, start);
    EXPECT_LE(start, end);
    EXPECT_LE(end, after);
}

TEST(DriverEndToEnd, FailAfterEndsTheRunAtItsStepWithExitCodeTwo)
{
    const ProcessResult plain = ToolRunner::Run({"--qz4"});
    const std::vector<std::string> report = SplitTextModeLines(plain.out);
    ASSERT_GE(report.size(), 3u) << plain.out;
    const unsigned steps = 15 * static_cast<unsigned>(std::stoul(report[1].substr(8))) + 5;
    const struct {
        std::string limit;
        std::size_t lines;  // of the plain report's
        bool fails;
    } cases[] = {
        {"--failAfter=0", 0, true},
        {"--failAfter=1", 1, true},
        {"--failAfter=" + std::to_string(steps - 1), report.size(), true},  // only End fails
        {"--failAfter=" + std::to_string(steps), report.size(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        const ProcessResult result = ToolRunner::Run({"--qz4", c.limit});
        EXPECT_EQ(c.fails ? 2u : 0u, result.exitCode);
        EXPECT_EQ(c.fails ? "exception: programmed failure" + TestEnvironment::LineEnd() : "", result.err);
        const std::vector<std::string> lines = SplitTextModeLines(result.out);
        ASSERT_EQ(c.lines, lines.size()) << result.out;
        if (!lines.empty()) {
            EXPECT_TRUE(std::regex_match(lines.front(), kStartMarker));
        }
    }
}

TEST(DriverEndToEnd, OutputFileIsReplayedUnchangedWhateverTheSwitches)
{
    // NUL bytes, a line past any line buffer, and no final line end.
    const std::string text = std::string("a\0b\r\n", 5) + std::string(70000, 'L') + "\r\n\r\nquote \" and tab\t\r\nno end";
    for (const std::string& prepared : {text, std::string()}) {
        ScopedDirectory folder;
        folder.write("x-vexilonOutput.txt", prepared);
        const ProcessResult result = ToolRunner::Run({"--qz4", "--bogus", "--failAfter=0"}, {}, folder.path());
        EXPECT_EQ(0u, result.exitCode);
        EXPECT_EQ(prepared, result.out);
        EXPECT_EQ("", result.err);
    }
}

TEST(DriverEndToEnd, WaitFileHoldsTheRunUntilItIsRemovedBeforeTheOutputFileIsRead)
{
    ScopedDirectory folder;
    folder.write("x-vexilonWait.txt", "");
    folder.write("x-vexilonOutput.txt", "prepared\r\n");
    ChildProcess tool;
    tool.setEnvironment("VEXILON_FAULT_RECORD", "0");
    tool.start(TestEnvironment::ToolPath(), {"--qz4"}, folder.path());
    // Not a measurement: a tool that ignored the wait file would show here,
    // on a slow machine perhaps not, but a held one never fails this.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(tool.isRunning());
    EXPECT_EQ("", tool.outputSoFar());
    // The tool keeps polling the wait file, so a delete can meet it open; a
    // host retries, and so do we.
    bool removed = false;
    for (int attempt = 0; attempt < 1000 && !removed; ++attempt) {
        removed = std::remove(folder.file("x-vexilonWait.txt").c_str()) == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(removed ? 0 : 1));
    }
    ASSERT_TRUE(removed);
    const ProcessResult result = tool.wait(120000);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("prepared\r\n", result.out);
}

// A host that trusts the exit status must not take a report lost on a full
// disk for a machine without GPUs. A JSON document is written at the end, so
// a run that fails before is still told by its own failure.
TEST(DriverEndToEnd, AReportThatCannotBeWrittenIsAFailedRun)
{
    ScopedDirectory replay;
    replay.write("x-vexilonOutput.txt", std::string(70000, 'x'));  // past any buffer: refused as it is copied
    const std::string full = "No space left on device" + TestEnvironment::LineEnd();
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        const ScopedDirectory* folder;
        testsupport::ExitCode exitCode;
        std::string err;
        const char* inProcess;
    } cases[] = {
        {"tester", {"--qz4"}, nullptr, 2, "exception: cannot write the report: " + full, "0"},
        {"legacy: the failed status", {}, nullptr, 0, "cannot write the check: " + full, "0"},
        {"legacy in one process", {}, nullptr, 0, "cannot write the check: " + full, "1"},
        {"replay", {"--qz4"}, &replay, 2, "exception: cannot write the report: " + full, "0"},
        {"version", {"--version"}, nullptr, 2,
         "exception: cannot write to standard output" + TestEnvironment::LineEnd(), "0"},
        {"JSON in one process", {"--qz4", "--format=json", "--failAfter=1"}, nullptr, 2,
         "exception: programmed failure" + TestEnvironment::LineEnd(), "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedDirectory empty;
        ChildProcess tool;
        tool.setEnvironment("VEXILON_IN_PROCESS", c.inProcess);
        tool.refuseOutput();
        tool.setEnvironment("VEXILON_FAULT_RECORD", "0");
        tool.start(TestEnvironment::ToolPath(), c.arguments, (c.folder != nullptr ? *c.folder : empty).path());
        const ProcessResult result = tool.wait();
        EXPECT_EQ(c.exitCode, result.exitCode);
        EXPECT_EQ(c.err, result.err);
    }
}

// Neither handshake file is looked at: the wait file would hold these runs.
TEST(DriverEndToEnd, HelpVersionAndABadFormatAnswerWithoutProbingAndAFailedRunWritesNoDocument)
{
    ScopedDirectory folder;
    folder.write("x-vexilonWait.txt", "");
    const std::string& end = TestEnvironment::LineEnd();
    const std::string format = ": unknown report format; the ones there are: --format=json, --format=prometheus" + end;
    const std::string any = "[\\s\\S]*";  // with a row of each of the README's tables
    const std::string usage = "Usage: vexilon_gpu " + any + end + "  --format=json  " + any + end +
                              "  x-vexilonOutput.txt  " + any + end + "  3  legacy  " + any;
    const struct {
        std::vector<std::string> arguments;
        testsupport::ExitCode exitCode;
        std::string out;  // a pattern
        std::string err;
    } cases[] = {
        {{"--help"}, 0, usage, ""},
        {{"--version", "--format=xml", "--help", "--failAfter=0"}, 0, usage, ""},
        {{"--qz4", "--bogus", "--version"}, 0, "vexilon_gpu \\d+\\.\\d+\\.\\d+( \\(commit [0-9a-f]{12}(-dirty)?\\))?" + end,
         "unknown argument ignored: bogus" + end},
        {{"--qz4", "--format=xml"}, 2, "", "--format=xml" + format},
        {{"--format=json", "--format="}, 2, "", "--format=" + format},
        {{"--output=x", "--output="}, 2, "", "--output: no file named; give --output=<file>" + end},
        {{"--qz4", "--format=json", "--failAfter=1"}, 2, "", "exception: programmed failure" + end},  // no document
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const ProcessResult result = ToolRunner::Run(c.arguments, {}, c.exitCode ? std::string() : folder.path());
        EXPECT_EQ(c.exitCode, result.exitCode);
        EXPECT_TRUE(std::regex_match(result.out, std::regex(c.out))) << result.out;
        EXPECT_EQ(c.err, result.err);
    }
}

TEST(DriverEndToEnd, FormatJsonWritesTheLineReportsFactsAsOneDocument)
{
    const ProcessResult lines = ToolRunner::Run({"--qz4", "--app=Lumatrope"});
    const ProcessResult json = ToolRunner::Run({"--qz4", "--app=Lumatrope", "--format=json"});
    EXPECT_EQ(std::make_pair(0u, lines.err), std::make_pair(json.exitCode, json.err));
    // The lines' facts, as the document's own reader of lines takes them.
    JsonReport fromLines;
    for (const std::string& line : SplitTextModeLines(lines.out)) {
        fromLines.Line(line);
    }
    nlohmann::json expected = nlohmann::json::parse(fromLines.Text()), document = nlohmann::json::parse(json.out);
    expected["vexilonStart"] = document["vexilonStart"];  // the runs' own times
    expected["vexilonEnd"] = document["vexilonEnd"];
    document.erase("unmatchedVulkanDevices");  // Vulkan's facts are the document's own
    document["gpus"][0].erase("vulkan");
    EXPECT_EQ(expected, document);
    EXPECT_EQ(21u, document["gpus"][0]["queries"].size());

    // The driver's bytes, escaped; a byte that is not UTF-8 becomes U+FFFD.
    testsupport::OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.2 \"q\" \\ \x01\t\xC3\xA9\xFF CUDA 9").addGpuDevice();
    const auto opencl = nlohmann::json::parse(ToolRunner::Run({"--qz4", "--format=json"}, fixture.environment()).out);
    EXPECT_EQ("1.2 \"q\" \\ \x01\t\xC3\xA9\xEF\xBF\xBD", opencl["gpus"][0]["fields"]["OCLVersion"]);
}
