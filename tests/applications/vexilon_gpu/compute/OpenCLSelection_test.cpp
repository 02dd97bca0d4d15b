#include "compute/DeviceRate.h"
#include "compute/OpenCLVersionText.h"
#include "gpu/VersionCache.h"

#include <gtest/gtest.h>

TEST(OpenCLVersionText, SplitsPrefixNumberAndCUDAText)
{
    struct {
        const char* text;
        const char* openCL;
        bool hasCUDA;
        const char* cuda;
    } const cases[] = {
        {"OpenCL 1.1 CUDA 4.2.1", "1.1", true, "4.2.1"},
        {"OpenCL 1.2 AMD-APP (1800.8)", "1.2 AMD-APP (1800.8)", false, ""},
        {"2.0 beta", "2.0 beta", false, ""},
        {"OpenCL1.2", "OpenCL1.2", false, ""},  // the prefix needs its blank
        {"3.0 CUDA 12.0", "3.0", true, "12.0"},
        {"OpenCL 1.1 CUDA4", "1.1 CUDA4", false, ""},  // so does the separator, on both sides
        {"OpenCL 1.1 CUDA ", "1.1", true, ""},
        {"OpenCL 1.1 CUDA 4 CUDA 5", "1.1", true, "4 CUDA 5"},
        {"", "", false, ""},
    };
    for (const auto& c : cases) {
        const OpenCLVersionText text(c.text);
        EXPECT_EQ(c.openCL, text.OpenCL()) << c.text;
        EXPECT_EQ(c.hasCUDA, text.HasCUDA()) << c.text;
        EXPECT_EQ(c.cuda, text.CUDA()) << c.text;
        // The two texts always put the version back together, without its prefix.
        const std::string joined = text.HasCUDA() ? text.OpenCL() + " CUDA " + text.CUDA() : text.OpenCL();
        EXPECT_EQ(OpenCLVersionText::WithoutPrefix(c.text), joined) << c.text;
    }
}

TEST(DeviceRate, OpenGLIsMeasuredOnlyBelowTheThresholdAndRatesTruncate)
{
    int measured = 0;
    const auto gl40 = [&measured]() {
        ++measured;
        return std::uint64_t(40);
    };
    EXPECT_EQ(20u, DeviceRate::Combine(20, gl40));
    EXPECT_EQ(12u, DeviceRate::Combine(12, gl40));
    EXPECT_EQ(0, measured);
    EXPECT_EQ(40u, DeviceRate::Combine(11, gl40));
    EXPECT_EQ(1, measured);
    EXPECT_EQ(7u, DeviceRate::Combine(7, []() { return std::uint64_t(3); }));

    EXPECT_EQ(0u, DeviceRate::FromDouble(2147483648ull, 0));  // no time: nothing measured
    // 64 copies of 16 MiB, read and written, in 100 ms: 21.47... bytes per nanosecond.
    EXPECT_EQ(21u, DeviceRate::FromDouble(2147483648ull, 100000000));
    EXPECT_EQ(12u, DeviceRate::FromInteger(335544320ull, 27962026));
    EXPECT_EQ(11u, DeviceRate::FromInteger(335544320ull, 27962027));
}

TEST(VersionCache, TextIsHandedOutOnceAndAnEmptyCacheIsRefilledFirst)
{
    std::string opencl;
    std::string cuda;
    int probes = 0;
    // Each probe run finds new texts; the CUDA text only on even runs.
    const auto probe = [&]() {
        ++probes;
        opencl = "1." + std::to_string(probes);
        cuda = probes % 2 == 0 ? "cuda" + std::to_string(probes) : "";
    };
    EXPECT_EQ("1.1", VersionCache::Take(opencl, probe));
    EXPECT_EQ("", opencl);
    // The first run found no CUDA text: asking for it runs the probe again,
    // which refills the OpenCL cache too.
    EXPECT_EQ("cuda2", VersionCache::Take(cuda, probe));
    EXPECT_EQ("1.2", VersionCache::Take(opencl, probe));
    EXPECT_EQ(2, probes);
    EXPECT_EQ("", VersionCache::Take(cuda, probe));
    EXPECT_EQ(3, probes);
}
