// Drivers that crash, abort or hang, end to end: the probes run in a watched
// child process, so the host still gets its answer, complete where it can be.
// OpenCL faults come from the test OpenCL runtime (VEXILON_OCL_FAULT). A
// fault once paid is recorded: later runs skip that work while the driver is
// the same, and try it again once it changes.
#include "OpenCLFixture.h"
#include "ScopedDirectory.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

using testsupport::OpenCLFixture;
using testsupport::ProcessResult;
using testsupport::ScopedDirectory;
using testsupport::TestEnvironment;
using testsupport::ToolRunner;
using testsupport::Unstamped;

namespace {

// Far beyond what any run here needs: a tool that outlives it is stuck.
const testsupport::TimeoutMs kBound = 120000;
const std::string kDate = "[0-9]{4}-[0-9]{2}-[0-9]{2}";

// A cache folder of its own, where this system's tool keeps its record.
class PrivateCache {
public:
    std::map<std::string, std::string> environment() const
    {
        return {{TestEnvironment::LineEnd() == "\r\n" ? "LOCALAPPDATA" : "XDG_CACHE_HOME", folder_.path()}};
    }
    std::string folder() const { return folder_.file("vexilon_gpu"); }
    std::string record() const { return folder_.file("vexilon_gpu/faults"); }
    // The record's lines, which end in a line feed on every system.
    std::vector<std::string> lines() const
    {
        std::istringstream text(TestEnvironment::ReadTextFile(record()));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) {
            lines.push_back(line);
        }
        return lines;
    }

private:
    ScopedDirectory folder_;
};

struct Fixtures {
    Fixtures()
    {
        gpu.addPlatform("OpenCL 1.2 fixture").addGpuDevice(OpenCLFixture::DeviceOptions().rate(16));
        cpu.addPlatform("OpenCL 1.2 fixture").addCpuDevice();
    }
    OpenCLFixture gpu;
    OpenCLFixture cpu;
};

ProcessResult RunWith(const OpenCLFixture& fixture, const std::string& fault, const std::vector<std::string>& arguments,
                      std::map<std::string, std::string> environment = {})
{
    for (const auto& variable : fixture.environment()) {
        environment.insert(variable);
    }
    environment["VEXILON_OCL_FAULT"] = fault;
    // Sanitizer builds: a crash must end the probe as it ends a plain one.
    environment["ASAN_OPTIONS"] = "detect_leaks=1:handle_segv=0";
    return ToolRunner::Run(arguments, environment, std::string(), kBound);
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(file << bytes) << path;
}

bool Matches(const std::string& text, const std::string& pattern)
{
    return std::regex_match(text, std::regex(pattern));
}

// The driver changes as an update changes it: its file's modification time.
class TouchedRuntime {
public:
    TouchedRuntime() : path_(OpenCLFixture::runtimePath()), was_(std::filesystem::last_write_time(path_))
    {
        std::filesystem::last_write_time(path_, was_ + std::chrono::seconds(2));
    }
    ~TouchedRuntime() { std::filesystem::last_write_time(path_, was_); }

private:
    std::string path_;
    std::filesystem::file_time_type was_;
};

} // namespace

// An OpenCL runtime that faults costs the OpenCL lines only, as on a machine
// without an OpenCL GPU device; one that hangs after everything is written
// costs nothing, nor does one quiet for a while within the deadline. A hang
// is given a deadline that a loaded machine meets everywhere else, and is
// never ended before it.
TEST(ProbeFaultsEndToEnd, AnOpenCLFaultCostsOnlyTheOpenCLLines)
{
    const Fixtures fixtures;
    const std::vector<std::string> report = {"--qz4"}, legacy = {};
    const ProcessResult withoutGPU = RunWith(fixtures.cpu, "", report), withOpenCL = RunWith(fixtures.gpu, "", report);
    const ProcessResult checkWithoutGPU = RunWith(fixtures.cpu, "", legacy);
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
        SCOPED_TRACE(c.fault + (&c.expected == &checkWithoutGPU ? " legacy" : " report"));
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult result = RunWith(fixtures.gpu, c.fault, c.arguments);
        if (c.err.find("no progress for 8 s") != std::string::npos) {  // never before the deadline
            EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
        }
        EXPECT_EQ(c.expected.exitCode, result.exitCode);
        EXPECT_EQ(Unstamped(c.expected.out), Unstamped(result.out)) << result.out;
        const auto ended = [](const ProcessResult& run) { return run.out.find("vexilonEnd=") != std::string::npos; };
        EXPECT_EQ(ended(c.expected), ended(result));
        EXPECT_TRUE(Matches(result.err, c.err + (c.err.empty() ? "" : TestEnvironment::LineEnd()))) << result.err;
    }
}

// Both modes start the same OpenCL runtime: a fault in either is paid once
// for both. The skipping run writes what the faulting run wrote, says why
// where the fault struck, and leaves the record as it was. That a record
// grows old after thirty days is the FaultRecord unit test's.
TEST(FaultRecordEndToEnd, AFaultyOpenCLDriverCostsItsDeadlineOnceInEitherModeUntilItChanges)
{
    const Fixtures fixtures;
    const std::string end = TestEnvironment::LineEnd(), on = " on " + kDate + " with this driver" + end;
    const std::vector<std::string> report = {"--qz4", "--timeout=8"}, legacy = {"--timeout=8"};
    const std::string probe = "OpenCL probe \\(gpu\\): ", check = "OpenCL check: ";
    const PrivateCache cache;
    // The loader is told to load the runtime that a description names.
    const ScopedDirectory vendors;
    vendors.write("fixture.icd", OpenCLFixture::runtimePath() + "\n");
    std::map<std::string, std::string> environment = cache.environment();
    environment["OCL_ICD_VENDORS"] = vendors.file("fixture.icd");
    const struct {
        std::string fault;
        std::vector<std::string> first, second;
        std::string failed, skipped;  // patterns
    } cases[] = {
        {"hang:clGetPlatformIDs", report, legacy, probe + "no progress for 8 s", check + "no progress for 8 s in tester mode"},
        {"abort:clGetPlatformIDs", legacy, report, check + ".+", probe + ".+ in the legacy check"},
        {"abort:clGetPlatformIDs", legacy, legacy, check + ".+", check + ".+"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault + (c.second == report ? " then report" : " then check"));
        std::filesystem::remove_all(cache.folder());
        const ProcessResult first = RunWith(fixtures.gpu, c.fault, c.first, environment);
        EXPECT_TRUE(Matches(first.err, "probe failed: " + c.failed + end)) << first.err;
        const std::string recorded = TestEnvironment::ReadTextFile(cache.record());
        const ProcessResult second = RunWith(fixtures.gpu, c.fault, c.second, environment);
        EXPECT_TRUE(Matches(second.err, "probe skipped: " + c.skipped + on)) << second.err;
        EXPECT_EQ(recorded, TestEnvironment::ReadTextFile(cache.record()));
        const ProcessResult withoutGPU = RunWith(fixtures.cpu, "", c.second);
        EXPECT_EQ(Unstamped(withoutGPU.out), Unstamped(second.out));
        EXPECT_EQ(withoutGPU.exitCode, second.exitCode);
        EXPECT_TRUE(c.first != c.second || Unstamped(first.out) == Unstamped(second.out)) << first.out;
    }

    // The library the description names is updated: the work is tried again.
    const std::string tried = "probe failed: " + probe + ".+" + end;
    {
        const TouchedRuntime update;
        const ProcessResult updated = RunWith(fixtures.gpu, "abort:clGetPlatformIDs", report, environment);
        EXPECT_TRUE(Matches(updated.err, tried)) << updated.err;
        EXPECT_EQ(2u, cache.lines().size());  // one per driver
    }
    std::vector<std::string> retry = report;
    retry.push_back("--retry-faults");
    const ProcessResult retried = RunWith(fixtures.gpu, "abort:clGetPlatformIDs", retry, environment);
    EXPECT_TRUE(Matches(retried.err, tried)) << retried.err;
    EXPECT_EQ(1u, cache.lines().size());  // cleared, then this run's fault

    std::map<std::string, std::string> off = cache.environment();
    off["VEXILON_FAULT_RECORD"] = "0";
    std::filesystem::remove_all(cache.folder());
    const ProcessResult unrecorded = RunWith(fixtures.gpu, "abort:clGetPlatformIDs", report, off);
    EXPECT_TRUE(Matches(unrecorded.err, tried)) << unrecorded.err;
    EXPECT_FALSE(std::filesystem::exists(cache.folder()));
}

TEST(FaultRecordEndToEnd, ARecordThatCannotBeReadOrWrittenCostsOneLineNotTheRun)
{
    const Fixtures fixtures;
    const std::string end = TestEnvironment::LineEnd();
    const ProcessResult withoutGPU = RunWith(fixtures.cpu, "", {"--qz4"});
    const struct {
        const char* name;
        std::string record;  // null: the record's folder is a file
        bool writable;
    } cases[] = {
        {"cut in half", "1765000000\tOpenCL probe\t/etc/OpenCL/vend", true},
        {"no folder for it", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PrivateCache cache;
        if (c.writable) {
            std::filesystem::create_directories(cache.folder());
            WriteFile(cache.record(), c.record);
        } else {
            WriteFile(cache.folder(), "");
        }
        const ProcessResult result = RunWith(fixtures.gpu, "abort:clGetPlatformIDs", {"--qz4"}, cache.environment());
        EXPECT_EQ(0u, result.exitCode);
        EXPECT_EQ(Unstamped(withoutGPU.out), Unstamped(result.out));
        const std::string complaint = "fault record (ignored|not written): .+" + end;
        const std::string failed = "probe failed: OpenCL probe \\(gpu\\): .+" + end;
        EXPECT_TRUE(Matches(result.err, complaint + failed)) << result.err;
        if (c.writable) {  // a whole record in its place
            const ProcessResult next = RunWith(fixtures.gpu, "abort:clGetPlatformIDs", {"--qz4"}, cache.environment());
            EXPECT_TRUE(Matches(next.err, "probe skipped: .+" + end)) << next.err;
        }
    }
}

// Only a run that probes looks at the record; an account without a cache or
// home folder has none, and nothing is said about it.
TEST(FaultRecordEndToEnd, OnlyAProbingRunWithACacheFolderLooksAtTheRecord)
{
    const PrivateCache cache;
    std::filesystem::create_directories(cache.folder());
    WriteFile(cache.record(), "not a record");
    ScopedDirectory replay;
    replay.write("x-vexilonOutput.txt", "prepared\n");
    const struct {
        std::vector<std::string> arguments;
        std::string folder;
    } cases[] = {{{"--help"}, ""}, {{"--version"}, ""}, {{"--qz4"}, replay.path()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        const ProcessResult result = ToolRunner::Run(c.arguments, cache.environment(), c.folder, kBound);
        EXPECT_EQ(0u, result.exitCode);
        EXPECT_EQ("", result.err);
    }

    const Fixtures fixtures;
    std::map<std::string, std::string> noFolder = cache.environment();
    noFolder.begin()->second = "";
    noFolder["HOME"] = "";
    const ProcessResult result = RunWith(fixtures.gpu, "abort:clGetPlatformIDs", {"--qz4"}, noFolder);
    EXPECT_TRUE(Matches(result.err, "probe failed: OpenCL probe \\(gpu\\): .+" + TestEnvironment::LineEnd()))
        << result.err;
}
