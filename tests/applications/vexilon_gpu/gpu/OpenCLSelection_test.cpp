#include "gpu/BestOpenCLDevice.h"
#include "gpu/DeviceRate.h"
#include "gpu/OpenCLVersionText.h"
#include "gpu/VersionCache.h"

#include <gtest/gtest.h>

TEST(OpenCLVersionText, SplitsPrefixNumberAndCUDAText)
{
    const OpenCLVersionText cuda("OpenCL 1.1 CUDA 4.2.1");
    EXPECT_EQ("1.1", cuda.OpenCL());
    EXPECT_TRUE(cuda.HasCUDA());
    EXPECT_EQ("4.2.1", cuda.CUDA());

    const OpenCLVersionText vendor("OpenCL 1.2 AMD-APP (1800.8)");
    EXPECT_EQ("1.2 AMD-APP (1800.8)", vendor.OpenCL());
    EXPECT_FALSE(vendor.HasCUDA());
    EXPECT_EQ("", vendor.CUDA());
}

TEST(OpenCLVersionText, TextWithoutPrefixStaysWholeAndIsStillSplit)
{
    EXPECT_EQ("2.0 beta", OpenCLVersionText("2.0 beta").OpenCL());
    EXPECT_EQ("OpenCL1.2", OpenCLVersionText("OpenCL1.2").OpenCL());  // the prefix needs its blank

    const OpenCLVersionText unprefixed("3.0 CUDA 12.0");
    EXPECT_EQ("3.0", unprefixed.OpenCL());
    EXPECT_EQ("12.0", unprefixed.CUDA());

    // The separator needs a blank on both sides.
    EXPECT_FALSE(OpenCLVersionText("OpenCL 1.1 CUDA4").HasCUDA());
    const OpenCLVersionText empty("OpenCL 1.1 CUDA ");
    EXPECT_TRUE(empty.HasCUDA());
    EXPECT_EQ("", empty.CUDA());
}

TEST(BestOpenCLDevice, StrictlyFasterDeviceWinsAndFirstOfEqualsStays)
{
    BestOpenCLDevice best;
    best.Offer(0, OpenCLVersionText("OpenCL 1.0 never"));
    EXPECT_FALSE(best.Found());

    best.Offer(20, OpenCLVersionText("OpenCL 1.1 CUDA 4.2.1"));
    best.Offer(20, OpenCLVersionText("OpenCL 1.2 CUDA 5.0"));
    best.Offer(19, OpenCLVersionText("OpenCL 2.0 CUDA 9.9"));
    EXPECT_TRUE(best.Found());
    EXPECT_EQ(20u, best.Rate());
    EXPECT_EQ("1.1", best.OpenCL());
    EXPECT_EQ("4.2.1", best.CUDA());
}

TEST(BestOpenCLDevice, LaterDeviceWithoutCUDAKeepsTheEarlierCUDAText)
{
    BestOpenCLDevice best;
    best.Offer(5, OpenCLVersionText("OpenCL 1.1 CUDA 4.2.1"));
    best.Offer(30, OpenCLVersionText("OpenCL 1.2 vendor-suffix"));
    EXPECT_EQ("1.2 vendor-suffix", best.OpenCL());
    EXPECT_EQ("4.2.1", best.CUDA());
}

TEST(DeviceRate, OpenGLIsMeasuredOnlyBelowTheThreshold)
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
    EXPECT_EQ(0u, DeviceRate::Combine(0, []() { return std::uint64_t(0); }));
}

TEST(DeviceRate, RatesTruncateAndZeroTimeMeansNothingMeasured)
{
    EXPECT_TRUE(DeviceRate::IsSufficient(12));
    EXPECT_FALSE(DeviceRate::IsSufficient(11));
    EXPECT_EQ(0u, DeviceRate::FromDouble(2147483648ull, 0));
    EXPECT_EQ(0u, DeviceRate::FromInteger(335544320ull, 0));
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
    EXPECT_EQ(1, probes);
    EXPECT_EQ("", opencl);

    // The first run found no CUDA text: asking for it runs the probe again.
    EXPECT_EQ("cuda2", VersionCache::Take(cuda, probe));
    EXPECT_EQ(2, probes);

    // That run also refilled the OpenCL cache, so the next ask takes it as is.
    EXPECT_EQ("1.2", VersionCache::Take(opencl, probe));
    EXPECT_EQ(2, probes);

    // Nothing left: a run that finds nothing returns empty.
    EXPECT_EQ("", VersionCache::Take(cuda, probe));
    EXPECT_EQ(3, probes);
}
