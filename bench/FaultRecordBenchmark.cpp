// What a driver that hangs in clGetPlatformIDs costs a host that runs the
// tool at every start: the wall time of a fault-free tester-mode run (with an
// OpenCL GPU device, and without one: the same report as after the fault), of
// a run on the hanging driver without a fault record (every run before the
// record existed), and of the runs after the first on it, which find the
// first run's record. Runs natively or under Wine with the test OpenCL runtime; prints
// figures, asserts nothing. Usage: fault_record_benchmark [runs]
#include "OpenCLFixture.h"
#include "ScopedDirectory.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

typedef std::map<std::string, std::string> Environment;

double WallTime(const Environment& environment)
{
    const auto start = std::chrono::steady_clock::now();
    testsupport::ToolRunner::Run({"--qz4"}, environment, std::string(), 600000);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    return n % 2 != 0 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 5);
    testsupport::OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.2 fixture").addGpuDevice(testsupport::OpenCLFixture::DeviceOptions().rate(16));
    testsupport::OpenCLFixture withoutGPU;
    withoutGPU.addPlatform("OpenCL 1.2 fixture").addCpuDevice();
    testsupport::ScopedDirectory cache;
    const std::string cacheVariable = testsupport::TestEnvironment::LineEnd() == "\r\n" ? "LOCALAPPDATA" : "XDG_CACHE_HOME";

    Environment faultFree = fixture.environment();
    faultFree[cacheVariable] = cache.path();
    Environment hanging = faultFree;
    hanging["VEXILON_OCL_FAULT"] = "hang:clGetPlatformIDs";
    Environment unrecorded = hanging;
    unrecorded["VEXILON_FAULT_RECORD"] = "0";

    Environment sameReport = withoutGPU.environment();
    sameReport[cacheVariable] = cache.path();

    std::vector<double> clean, cleanWithoutGPU, remembered;
    for (int i = 0; i < runs; ++i) {
        clean.push_back(WallTime(faultFree));
        cleanWithoutGPU.push_back(WallTime(sameReport));
    }
    const double before = WallTime(unrecorded);
    const double first = WallTime(hanging);
    for (int i = 0; i < runs; ++i) {
        remembered.push_back(WallTime(hanging));
    }
    const double after = Median(remembered);
    std::printf("fault-free run %.3f s, without an OpenCL GPU %.3f s (medians of %d); hanging OpenCL driver: "
                "without a record %.3f s, first run %.3f s, later runs %.3f s (median of %d): %.2f times a "
                "fault-free run, %.2f times one without an OpenCL GPU (aim about 1)\n",
                Median(clean), Median(cleanWithoutGPU), runs, before, first, after, runs, after / Median(clean),
                after / Median(cleanWithoutGPU));
    return 0;
}
