// The run driver end to end: the real vexilon_gpu (under Wine on Windows).
#include "ChildProcess.h"
#include "ScopedDirectory.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <regex>
#include <thread>

using testsupport::ChildProcess;
using testsupport::ProcessResult;
using testsupport::ScopedDirectory;
using testsupport::SplitCrLfLines;
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

// Lines as this system's text-mode streams end them.
std::string Text(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line + TestEnvironment::LineEnd();
    }
    return text;
}

const std::string kProgrammedFailure = Text({"exception: programmed failure"});

// The number of GPUs a plain report of this machine lists.
unsigned ReportedGPUs()
{
    const ProcessResult result = ToolRunner::Run({"--qz4"});
    const std::vector<std::string> lines = SplitCrLfLines(result.out);
    if (lines.size() < 2 || lines[1].compare(0, 8, "NumGPUs=") != 0) {
        ADD_FAILURE() << "no count line in:\n" << result.out;
        return 0;
    }
    return static_cast<unsigned>(std::stoul(lines[1].substr(8)));
}

// The tool keeps polling the wait file, so a delete can meet it open; a host
// retries, and so do we.
bool RemoveWaitFile(const ScopedDirectory& folder)
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (std::remove(folder.file("x-vexilonWait.txt").c_str()) == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace

TEST(DriverEndToEnd, TesterModeWritesMarkersAroundTheReport)
{
    const std::string before = LocalStamp();
    const ProcessResult result = ToolRunner::Run({"--qz4"});
    const std::string after = LocalStamp();

    EXPECT_EQ(0u, result.exitCode) << result.err;
    const std::vector<std::string> lines = SplitCrLfLines(result.out);
    ASSERT_GE(lines.size(), 3u) << result.out;
    ASSERT_TRUE(std::regex_match(lines.front(), kStartMarker)) << lines.front();
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("NumGPUs=\\d+"))) << lines[1];
    ASSERT_TRUE(std::regex_match(lines.back(), kEndMarker)) << lines.back();
    EXPECT_EQ('\n', result.out.back());

    // The stamps are the machine's local time at the moment they were written.
    const std::string start = lines.front().substr(14, 19);
    const std::string end = lines.back().substr(12, 19);
    EXPECT_LE(before, start);
    EXPECT_LE(start, end);
    EXPECT_LE(end, after);
}

TEST(DriverEndToEnd, UnknownSwitchesAreReportedAndIgnored)
{
    const ProcessResult result = ToolRunner::Run({"--verbose", "--x=1", "--", "--qz4"});
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ(Text({"unknown argument ignored: verbose", "unknown argument ignored: x=1",
                    "unknown argument ignored: "}),
              result.err);
    EXPECT_TRUE(std::regex_search(result.out, kEndMarker));
}

TEST(DriverEndToEnd, FailAfterZeroFailsBeforeAnyOutput)
{
    for (const char* limit : {"--failAfter=0", "--failAfter", "--failAfter=abc"}) {
        const ProcessResult result = ToolRunner::Run({"--qz4", limit});
        EXPECT_EQ(2u, result.exitCode) << limit;
        EXPECT_EQ("", result.out) << limit;
        EXPECT_EQ(kProgrammedFailure, result.err) << limit;
    }
}

TEST(DriverEndToEnd, FailAfterOneWritesTheStartMarkerOnly)
{
    const ProcessResult result = ToolRunner::Run({"--failAfter=1", "--qz4"});
    EXPECT_EQ(2u, result.exitCode);
    const std::vector<std::string> lines = SplitCrLfLines(result.out);
    ASSERT_EQ(1u, lines.size()) << result.out;
    EXPECT_TRUE(std::regex_match(lines[0], kStartMarker));
    EXPECT_EQ(kProgrammedFailure, result.err);
}

TEST(DriverEndToEnd, OnlyEndFailsAtTheLastStep)
{
    const unsigned steps = 15 * ReportedGPUs() + 5;

    const ProcessResult failing = ToolRunner::Run({"--qz4", "--failAfter=" + std::to_string(steps - 1)});
    EXPECT_EQ(2u, failing.exitCode);
    EXPECT_TRUE(std::regex_match(SplitCrLfLines(failing.out).back(), kEndMarker)) << failing.out;
    EXPECT_EQ(kProgrammedFailure, failing.err);

    const ProcessResult passing = ToolRunner::Run({"--qz4", "--failAfter=" + std::to_string(steps)});
    EXPECT_EQ(0u, passing.exitCode) << passing.err;
    EXPECT_EQ("", passing.err);
}

TEST(DriverEndToEnd, NegativeFailAfterNeverFails)
{
    const ProcessResult result = ToolRunner::Run({"--qz4", "--failAfter=-7"});
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("", result.err);
    EXPECT_TRUE(std::regex_match(SplitCrLfLines(result.out).back(), kEndMarker));
}

TEST(DriverEndToEnd, OutputFileIsReplayedUnchangedWhateverTheSwitches)
{
    ScopedDirectory folder;
    const std::string longLine(700, 'L');
    const std::string text = "first line\r\n" + longLine + "\r\n\r\nquote \" and tab\t\r\nno end";
    folder.write("x-vexilonOutput.txt", text);

    const ProcessResult result = ToolRunner::Run({"--qz4", "--bogus", "--failAfter=0"}, {}, folder.path());
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ(text, result.out);
    EXPECT_EQ("", result.err);
}

TEST(DriverEndToEnd, EmptyOutputFileGivesEmptyOutput)
{
    ScopedDirectory folder;
    folder.write("x-vexilonOutput.txt", "");
    const ProcessResult result = ToolRunner::Run({"--unknown"}, {}, folder.path());
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("", result.out);
    EXPECT_EQ("", result.err);
}

TEST(DriverEndToEnd, WaitFileHoldsTheRunUntilItIsRemoved)
{
    ScopedDirectory folder;
    folder.write("x-vexilonWait.txt", "");
    ChildProcess tool;
    tool.start(TestEnvironment::ToolPath(), {"--qz4"}, folder.path());

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(tool.isRunning());
    EXPECT_EQ("", tool.outputSoFar());
    EXPECT_EQ("", tool.errorSoFar());

    ASSERT_TRUE(RemoveWaitFile(folder));
    const ProcessResult result = tool.wait(120000);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_TRUE(std::regex_match(SplitCrLfLines(result.out).back(), kEndMarker)) << result.out;
}

TEST(DriverEndToEnd, WaitFileIsHonouredBeforeTheOutputFile)
{
    ScopedDirectory folder;
    folder.write("x-vexilonWait.txt", "");
    folder.write("x-vexilonOutput.txt", "prepared\r\n");
    ChildProcess tool;
    tool.start(TestEnvironment::ToolPath(), {}, folder.path());

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(tool.isRunning());
    EXPECT_EQ("", tool.outputSoFar());

    ASSERT_TRUE(RemoveWaitFile(folder));
    const ProcessResult result = tool.wait(120000);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("prepared\r\n", result.out);
}
