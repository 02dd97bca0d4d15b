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
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>

using testsupport::ProcessResult;
using testsupport::SplitTextModeLines;
using testsupport::TestEnvironment;
using testsupport::ToolRunner;
using testsupport::Unstamped;

namespace {

// Far beyond what any run here needs: a tool that outlives it is stuck.
const testsupport::TimeoutMs kBound = 120000;

// The record of faults is off unless `environment` names a cache folder (XDG_CACHE_HOME).
ProcessResult RunWith(const std::string& fault, const std::vector<std::string>& arguments,
                      std::map<std::string, std::string> environment = {})
{
    environment.insert({{"LD_PRELOAD", TestEnvironment::FixtureBuildPath("glfault/libVexilonGLFault.so")},
                        {"VEXILON_GL_TWO_GPUS", "1"},
                        {"VEXILON_GL_FAULT", fault},
                        {"ASAN_OPTIONS", "detect_leaks=1:handle_segv=0:verify_asan_link_order=0"}});
    return ToolRunner::Run(arguments, environment, std::string(), kBound);
}

// `lines` without the field lines of `tag`'s block from field `from` on (a
// Lumatrope block keeps its query groups), or (`queries`) up to `tag`'s fields
// and the symbol line of its first query group.
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
        if (!own || queries || line.find('[', tag.size()) < line.find('=') || field++ < from) {
            kept.push_back(line);
        }
    }
    return kept;
}

// The report of a machine with only `gpu`'s block of a two-GPU report, or
// with no GPU (-1).
std::vector<std::string> OnlyGPU(const std::vector<std::string>& lines, int gpu)
{
    const std::string tag = "gpu[" + std::to_string(gpu) + "].";
    std::vector<std::string> kept{gpu < 0 ? "NumGPUs=0" : "NumGPUs=1"};
    for (const std::string& line : lines) {
        if (line.compare(0, tag.size(), tag) == 0) {
            kept.push_back("gpu." + line.substr(tag.size()));
        }
    }
    return kept;
}

} // namespace

// A driver that crashes or hangs while one device is asked for its strings,
// its display or its context costs that device (and its twin) alone.
TEST(ProbeFaultsEndToEnd, AFaultWhileTheGPUsAreListedCostsOnlyThatDevice)
{
    const std::vector<std::string> report = Unstamped(RunWith("", {"--qz4"}).out);
    ASSERT_EQ("NumGPUs=2", report.at(0));
    const std::string crashed = "signal 11 (Segmentation fault)\n", listing = "probe failed: listing the GPUs, device ";
    const struct {
        std::string fault, err;
        std::vector<std::string> arguments;
        int kept;
        std::map<std::string, std::string> environment;
    } cases[] = {
        {"crash:string:1", listing + "1: " + crashed, {"--qz4"}, 0, {}},
        {"crash:display:0", listing + "0: " + crashed, {"--qz4"}, 1, {}},
        {"hang:context:1", listing + "1: no progress for 8 s\n", {"--qz4", "--timeout=8"}, 0, {}},
        {"abort:context:0,crash:string:1", listing + "1: " + crashed + listing + "0: signal 6 (Aborted)\n", {"--qz4"}, -1, {}},
        {"crash:context:1", listing + "1: " + crashed, {"--qz4"}, 0, {{"VEXILON_GL_TWIN", "1"}}},  // and its twin
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        const ProcessResult result = RunWith(c.fault, c.arguments, c.environment);
        EXPECT_EQ(0u, result.exitCode);
        EXPECT_EQ(c.err, result.err);
        EXPECT_EQ(OnlyGPU(report, c.kept), Unstamped(result.out)) << result.out;
        EXPECT_NE(std::string::npos, result.out.find("vexilonEnd=")) << result.out;
    }

    // The JSON document has no entry for the lost device, only why it was lost.
    const nlohmann::json document = nlohmann::json::parse(RunWith("crash:string:0", {"--qz4", "--format=json"}).out);
    EXPECT_EQ(1, document["NumGPUs"]);
    EXPECT_EQ(1u, document["gpus"].size());
    EXPECT_EQ(nlohmann::json::array({listing + "0: signal 11 (Segmentation fault)"}), document["lostDevices"]);

    // The legacy check opens the next device and reads as it would have.
    const ProcessResult check = RunWith("", {}), skipped = RunWith("crash:string:0", {});
    EXPECT_EQ(check.exitCode, skipped.exitCode);
    EXPECT_EQ(check.out, skipped.out);
    EXPECT_EQ(listing + "0: " + crashed, skipped.err);
}

TEST(ProbeFaultsEndToEnd, AGLFaultCostsOnlyWhatDependsOnIt)
{
    const ProcessResult plain = RunWith("", {"--qz4"}), lumatrope = RunWith("", {"--qz4", "--app=Lumatrope"});
    const std::vector<std::string> report = Unstamped(plain.out);
    ASSERT_EQ("NumGPUs=2", report.at(0)) << plain.out << plain.err;
    // A Lumatrope block keeps its groups after a crashed field. Four steps
    // before the block, three fields and twenty-one groups: the last group of
    // gpu[0] takes step 27, as after an exception at the same field.
    const std::vector<std::string> groupsKept = Cut(Unstamped(lumatrope.out), "gpu[0]", 3, false);
    const std::string lostRenderer = "DoRunGPU exception\nprobe failed: gpu[0], Renderer: signal 11 (Segmentation fault)\n";
    const auto lastOfGPU0 = std::find_if(groupsKept.rbegin(), groupsKept.rend(),
                                         [](const std::string& line) { return line.rfind("gpu[0].", 0) == 0; });
    const struct {
        std::string fault;
        std::vector<std::string> arguments;
        std::vector<std::string> out;
        std::string err;
        unsigned exitCode;
    } cases[] = {
        {"crash:0:1f01", {"--qz4"}, Cut(report, "gpu[0]", 3, false), lostRenderer, 0},
        {"abort:1:1f01", {"--qz4"}, Cut(report, "gpu[1]", 3, false),
         "DoRunGPU exception\nprobe failed: gpu[1], Renderer: signal 6 (Aborted)\n", 0},
        {"hang:0:1f01", {"--qz4", "--timeout=8"}, Cut(report, "gpu[0]", 3, false),
         "DoRunGPU exception\nprobe failed: gpu[0], Renderer: no progress for 8 s\n", 0},
        {"crash:1:8b8c", {"--qz4", "--app=Lumatrope"}, Cut(Unstamped(lumatrope.out), "gpu[1]", 0, true),
         "exception: probe failed: gpu[1], Lumatrope query groups: signal 11 (Segmentation fault)\n", 2},
        {"crash:devices", {"--qz4"}, {}, "exception: probe failed: listing the GPUs: signal 11 (Segmentation fault)\n", 2},
        {"crash:0:1f01", {"--qz4", "--app=Lumatrope"}, groupsKept, lostRenderer, 0},
        {"crash:0:1f01", {"--qz4", "--app=Lumatrope", "--failAfter=27"},
         std::vector<std::string>(groupsKept.begin(), lastOfGPU0.base()), lostRenderer + "exception: programmed failure\n", 2},
        // The end alone is left: the next probe writes it without asking a driver.
        {"crash:glend", {"--qz4"}, report, "probe failed: the end of the report: signal 11 (Segmentation fault)\n", 0},
        // Again at the same place in the next probe: the run ends there.
        {"crash:end", {"--qz4"}, report, "probe failed: the end of the report: signal 11 (Segmentation fault)\n"
                                       "exception: probe failed: the end of the report: signal 11 (Segmentation fault)\n", 2},
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

    // A line break in a driver's text splits no line of the check (nor of the report: Tester's unit test).
    const ProcessResult broken = ToolRunner::Run(
        {}, {{"LD_PRELOAD", TestEnvironment::FixtureBuildPath("glfault/libVexilonGLFault.so")},
             {"VEXILON_GL_RENDERER", "a\rb\r\nc\nd\r\n"}, {"ASAN_OPTIONS", "verify_asan_link_order=0"}});
    const std::vector<std::string> lines = SplitTextModeLines(broken.out);
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "Renderer string:  a b  c d  ")) << broken.out;

    // The JSON document says what was lost (its blocks' facts: JsonReport's unit test).
    const nlohmann::json document = nlohmann::json::parse(RunWith("crash:0:1f01", {"--qz4", "--format=json"}).out);
    EXPECT_EQ("probe failed: gpu[0], Renderer: signal 11 (Segmentation fault)", document["gpus"][0]["failure"]);
}

// The faulting run's standard error as the skipping run writes it: "probe
// skipped" for "probe failed", with the fault's date and driver.
std::string AsSkipped(const std::string& failed)
{
    std::string pattern;
    std::istringstream lines(failed);
    for (std::string line; std::getline(lines, line);) {
        const bool verdict = line.find("probe failed: ") != std::string::npos;
        line = std::regex_replace(line, std::regex(R"([.^$|()\[\]{}*+?\\])"), "\\$&");
        if (verdict) {
            line = std::regex_replace(line, std::regex("probe failed: "), "probe skipped: ") +
                   " on [0-9]{4}-[0-9]{2}-[0-9]{2} with this driver";
        }
        pattern += line + "\n";
    }
    return pattern;
}

// The record at `path` with its faults made ten days older; its new text.
std::string Aged(const std::string& path)
{
    std::istringstream lines(TestEnvironment::ReadTextFile(path));
    std::string aged;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t tab = line.find('\t');
        aged += std::to_string(std::stoll(line.substr(0, tab)) - 10 * 24 * 60 * 60) + line.substr(tab) + "\n";
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << aged;
    return aged;
}

// Every kind of work the record knows: the second run skips what crashed in
// the first and writes what the first wrote, byte for byte; only the verdict
// on standard error differs. The legacy check stops at the step that faulted.
// An update of glvnd's vendor library (Mesa's, found first in a folder of
// this test's) brings the GL work back.
TEST(ProbeFaultsEndToEnd, WorkThatCrashedIsSkippedWithTheSameOutputWhileTheDriverIsTheSame)
{
    testsupport::ScopedDirectory driver;
    const std::string library = driver.file("libEGL_mesa.so.0");
    std::filesystem::copy_file("/usr/lib/x86_64-linux-gnu/libEGL_mesa.so.0", library);
    const std::map<std::string, std::string> vulkan = {
        {"VK_ICD_FILENAMES", TestEnvironment::FixtureBuildPath("vulkan/VulkanICD.json")}, {"VEXILON_VULKAN_FAULT", "crash"}};
    const struct {
        std::string fault;
        std::vector<std::string> arguments;
        std::map<std::string, std::string> environment;
    } cases[] = {
        {"crash:1:1f01", {"--qz4"}, {}},
        {"crash:devices", {"--qz4"}, {}},
        {"crash:string:1", {"--qz4"}, {}},
        {"crash:0:1f01", {}, {}},  // the legacy check's renderer string
        {"crash:0:1f02", {}, {}},  // its version string
        {"", {"--qz4", "--format=json"}, vulkan},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault + " " + std::to_string(c.arguments.size()));
        testsupport::ScopedDirectory cache;
        std::map<std::string, std::string> environment = c.environment;
        environment["XDG_CACHE_HOME"] = cache.path();
        environment["LD_LIBRARY_PATH"] = driver.path();
        const ProcessResult first = RunWith(c.fault, c.arguments, environment);
        const std::string aged = Aged(cache.file("vexilon_gpu/faults"));
        const ProcessResult second = RunWith(c.fault, c.arguments, environment);
        // A skip is no new fault: the record keeps its date, to be forgotten in time.
        EXPECT_EQ(aged, TestEnvironment::ReadTextFile(cache.file("vexilon_gpu/faults")));
        EXPECT_NE(std::string::npos, first.err.find("probe failed: ")) << first.err;
        EXPECT_TRUE(std::regex_match(second.err, std::regex(AsSkipped(first.err)))) << first.err << second.err;
        EXPECT_EQ(first.exitCode, second.exitCode);
        const std::regex stamp("[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}:[0-9]{2}:[0-9]{2}");
        EXPECT_EQ(std::regex_replace(first.out, stamp, ""), std::regex_replace(second.out, stamp, "")) << second.out;
        if (c.environment.empty()) {
            std::filesystem::last_write_time(library, std::filesystem::last_write_time(library) + std::chrono::seconds(2));
            EXPECT_EQ(first.err, RunWith(c.fault, c.arguments, environment).err);
        }
    }
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

namespace {

// How many processes other than this one have `path` open.
std::size_t OpenedByOthers(const std::string& path)
{
    std::size_t count = 0;
    DIR* processes = opendir("/proc");
    while (const dirent* entry = processes != nullptr ? readdir(processes) : nullptr) {
        std::error_code error;
        const std::string pid = entry->d_name;
        for (std::filesystem::directory_iterator fd("/proc/" + pid + "/fd", error), end; !error && fd != end;
             fd.increment(error)) {
            if (pid != std::to_string(getpid()) && std::filesystem::read_symlink(fd->path(), error) == path) {
                ++count;
                break;
            }
        }
    }
    if (processes != nullptr) {
        closedir(processes);
    }
    return count;
}

} // namespace

// Runs that record at the same moment take turns at the record's lock, so
// both faults are kept; a run that cannot get its turn within the bound
// records nothing, says so and ends as it would have.
TEST(FaultRecordEndToEnd, RunsThatRecordAtOnceTakeTurns)
{
    testsupport::ScopedDirectory cache;
    std::filesystem::create_directories(cache.file("vexilon_gpu"));
    const std::string lock = cache.file("vexilon_gpu/faults.lock"), record = cache.file("vexilon_gpu/faults");
    testsupport::OpenCLFixture opencl;
    std::map<std::string, std::string> direct = opencl.addPlatform("OpenCL 1.2 x").addGpuDevice().environment();
    direct.insert({{"XDG_CACHE_HOME", cache.path()}, {"VEXILON_OCL_FAULT", "abort:clGetPlatformIDs"}});
    // Two drivers, so two records: the runtime named itself, and named by a description.
    cache.write("own.icd", testsupport::OpenCLFixture::runtimePath() + "\n");
    std::map<std::string, std::string> described = direct;
    described["OCL_ICD_VENDORS"] = cache.file("own.icd");

    const std::string failed = "probe failed: OpenCL probe (gpu[0]): signal 6 (Aborted)\n";
    const std::string given = "fault record not written: " + record + ": lock: held by another run\n";
    // The test lets go once both wait; a machine that keeps one of them from
    // the lock past the bound makes that one give up, and they meet again.
    bool met = false;
    for (int attempt = 0; attempt < 3 && !met; ++attempt) {
        std::filesystem::remove(record);
        int held = ::open(lock.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        ASSERT_EQ(0, ::flock(held, LOCK_EX));
        auto one = std::async(std::launch::async, [&]() { return RunWith("", {"--qz4"}, direct); });
        auto other = std::async(std::launch::async, [&]() { return RunWith("", {"--qz4"}, described); });
        while (OpenedByOthers(lock) < 2 && other.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        }
        EXPECT_FALSE(std::filesystem::exists(record));  // nobody got past the lock
        ::close(held);
        const std::string errors[] = {one.get().err, other.get().err};
        met = errors[0] == failed && errors[1] == failed;
        for (const std::string& err : errors) {
            EXPECT_TRUE(err == failed || err == given + failed) << err;
        }
    }
    ASSERT_TRUE(met);
    const std::string both = TestEnvironment::ReadTextFile(record);
    EXPECT_EQ(2, std::count(both.begin(), both.end(), '\n')) << both;

    const int held = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(0, ::flock(held, LOCK_EX));
    const ProcessResult shut = RunWith("", {"--qz4", "--retry-faults"}, direct);
    ::close(held);
    EXPECT_EQ(0u, shut.exitCode);
    EXPECT_EQ(given + failed, shut.err);
    EXPECT_NE(std::string::npos, shut.out.find("vexilonEnd="));
}
