#include "gpu/GPUWin.h"

#include "gpu/GLErrorException.h"

#include "FakeWbemClassObject.h"

#include "zeb/ocl/ContextProperties.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

using testsupport::FakeWbemClassObject;

namespace {

class InertContext : public ZEB::OGL::Context {
public:
    InertContext()
    {
        hDeviceContext_ = reinterpret_cast<HDC>(0x1234);
        hRenderContext_ = reinterpret_cast<HGLRC>(0x5678);
    }
    void makeCurrent() const override {}
};

WMIData Record(LONG adapterRAM)
{
    FakeWbemClassObject row;
    row.setInt(L"AdapterRAM", adapterRAM);
    return WMIData(&row);
}

// A GPUWin whose GL answers the vendor memory queries with a fixed KiB count,
// or rejects them as a driver without the extension does.
class MemoryGPU : public GPUWin {
public:
    MemoryGPU(std::uint32_t vendor, LONG adapterRAM, GLint kibibytes, bool rejects = false)
        : GPUWin(boost::make_shared<InertContext>(), vendor, 0x1234,
                 Record(adapterRAM)),
          kibibytes_(kibibytes), rejects_(rejects)
    {
    }

    GLenum asked = 0;

    void GetIntegerv(GLenum pname, GLint* params) override
    {
        asked = pname;
        if (rejects_) {
            throw GLErrorException();
        }
        params[0] = kibibytes_;
    }

private:
    GLint kibibytes_;
    bool rejects_;
};

} // namespace

TEST(GPUWinMemory, LargerOfWMIAndVendorFigureInWholeMiB)
{
    MemoryGPU nvidia(0x10DE, static_cast<LONG>(4293918720u), 8388608);
    EXPECT_EQ(8192u, nvidia.MemoryMB());
    EXPECT_EQ(0x9047u, nvidia.asked);

    MemoryGPU noWMI(0x10DE, 0, 2097152);
    EXPECT_EQ(2048u, noWMI.MemoryMB());

    MemoryGPU ati(0x1002, 1073741824, 524288);  // the GL knows less than WMI: WMI wins
    EXPECT_EQ(1024u, ati.MemoryMB());
    EXPECT_EQ(0x87FCu, ati.asked);

    MemoryGPU roundsDown(0x8086, 1073741824 + 1048575, 0);
    EXPECT_EQ(1024u, roundsDown.MemoryMB());
}

TEST(GPUWinMemory, OtherVendorsNeverAskTheGL)
{
    MemoryGPU intel(0x8086, 1073741824, 99999999);
    EXPECT_EQ(1024u, intel.MemoryMB());
    EXPECT_EQ(0u, intel.asked);

    MemoryGPU unknown(0, -1, 99999999);  // 4294967295 bytes: just under 4 GiB
    EXPECT_EQ(4095u, unknown.MemoryMB());
    EXPECT_EQ(0u, unknown.asked);
}

TEST(GPUWinMemory, RejectedVendorQueryFallsBackToWMI)
{
    MemoryGPU nvidia(0x10DE, 536870912, 0, true);
    EXPECT_EQ(512u, nvidia.MemoryMB());
    MemoryGPU ati(0x1002, 0, 0, true);
    EXPECT_EQ(0u, ati.MemoryMB());
}

TEST(GPUWin, IdentifiersAndWMITextsPassThroughUnchanged)
{
    FakeWbemClassObject row;
    row.setText(L"Caption", L"Radeon \u2122");
    row.setText(L"InstalledDisplayDrivers", L"a.dll,b.dll");
    row.setText(L"DriverVersion", L" 8.17 ");
    row.setText(L"DriverDate", L"20240131000000.000000-000");
    GPUWin gpu(boost::make_shared<InertContext>(), 0x1002, 0x6798, WMIData(&row));
    EXPECT_EQ(0x1002u, gpu.VendorID());
    EXPECT_EQ(0x6798u, gpu.RendererID());
    EXPECT_EQ("Radeon \\x2122", gpu.Caption());
    EXPECT_EQ("a.dll,b.dll", gpu.Driver());
    EXPECT_EQ(" 8.17 ", gpu.DriverVersion());
    EXPECT_EQ("20240131000000.000000-000", gpu.DriverDate());
}

TEST(GPUWin, OpenCLSharingHelpers)
{
    GPUWin gpu(boost::make_shared<InertContext>(), 0, 0, Record(0));
    EXPECT_FALSE(gpu.IsOpenCLVersionSupported("OpenCL 1.0 CUDA"));
    EXPECT_FALSE(gpu.IsOpenCLVersionSupported("1.0"));
    EXPECT_TRUE(gpu.IsOpenCLVersionSupported("OpenCL 1.1"));
    EXPECT_TRUE(gpu.IsOpenCLVersionSupported("2.0"));
    EXPECT_TRUE(gpu.IsOpenCLBandwidthSufficient(12));
    EXPECT_FALSE(gpu.IsOpenCLBandwidthSufficient(11));

    ZEB::OCL::ContextProperties properties(ZEB::OCL::Platform(reinterpret_cast<cl_platform_id>(0x42)));
    InertContext context;
    gpu.SetOpenCLContextProperties(properties, context);
    std::vector<cl_context_properties> listed;
    for (const cl_context_properties* p = properties.data(); *p != 0; p += 2) {
        listed.push_back(p[0]);
        listed.push_back(p[1]);
    }
    const std::vector<cl_context_properties> expected = {CL_CONTEXT_PLATFORM, 0x42, 0x2008, 0x5678, 0x200B, 0x1234};
    EXPECT_EQ(expected, listed);
}
