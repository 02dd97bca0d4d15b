// Where the time of a tester-mode run goes: the whole run of vexilon_gpu.exe,
// and, from an in-process run of the same report, the time spent in the
// bandwidth measurements (OpenCL copies and GL draws) against everything else.
// Runs under Wine with the OpenCL fixture standing in for a machine with GPU
// devices; prints figures, asserts nothing.
#include "ChildProcess.h"
#include "OpenCLFixture.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include "compute/MeasurementClock.h"
#include "report/Tester.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

typedef std::chrono::duration<double> Seconds;

const char kChildVariable[] = "VEXILON_BENCHMARK_CHILD";

// The child: one report with its output thrown away, then the figures.
int RunReportInProcess()
{
    std::freopen("NUL", "w", stdout);
    const auto start = std::chrono::steady_clock::now();
    {
        Tester tester;
        tester.failAfter = 0xFFFFFFFFu;
        tester.Begin();
        tester.Run();
        tester.End();
    }
    const Seconds whole = std::chrono::steady_clock::now() - start;
    const Seconds measuring = MeasurementClock::Total();
    std::fprintf(stderr, "figures %.3f %.3f\n", whole.count(), measuring.count());
    return 0;
}

bool ReadFigures(const std::string& text, double& whole, double& measuring)
{
    const std::string::size_type at = text.find("figures ");
    return at != std::string::npos && std::sscanf(text.c_str() + at, "figures %lf %lf", &whole, &measuring) == 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv(kChildVariable) != nullptr) {
        return RunReportInProcess();
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;

    using Options = testsupport::OpenCLFixture::DeviceOptions;
    testsupport::OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.2 CUDA 5.0")
        .addGpuDevice()
        .addGpuDevice(Options().rate(4))
        .addPlatform("OpenCL 1.1 second")
        .addGpuDevice();
    std::map<std::string, std::string> childEnvironment = fixture.environment();
    childEnvironment[kChildVariable] = "1";
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);

    std::printf("OpenCL fixture: %s\n", fixture.environment().at("VEXILON_OCL_FIXTURE").c_str());
    std::printf("%-5s %14s %16s %16s %12s\n", "run", "tool wall (s)", "report (s)", "measuring (s)", "share (%)");
    double totalWhole = 0;
    double totalMeasuring = 0;
    for (int run = 1; run <= runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const testsupport::ProcessResult tool = testsupport::ToolRunner::Run({"--qz4"}, fixture.environment());
        const Seconds toolWall = std::chrono::steady_clock::now() - start;
        if (tool.exitCode != 0) {
            std::fprintf(stderr, "the tool failed (%lu):\n%s", tool.exitCode, tool.err.c_str());
            return 1;
        }

        const testsupport::ProcessResult child = testsupport::ChildProcess::Run(self, {}, "", childEnvironment);
        double whole = 0;
        double measuring = 0;
        if (!ReadFigures(child.err, whole, measuring) || whole <= 0) {
            std::fprintf(stderr, "the in-process run gave no figures:\n%s", child.err.c_str());
            return 1;
        }
        totalWhole += whole;
        totalMeasuring += measuring;
        std::printf("%-5d %14.3f %16.3f %16.3f %12.1f\n", run, toolWall.count(), whole, measuring,
                    100.0 * measuring / whole);
    }
    std::printf("all   %14s %16.3f %16.3f %12.1f\n", "", totalWhole, totalMeasuring,
                100.0 * totalMeasuring / totalWhole);
    return 0;
}
