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
    MemoryGPU(std::uint32_t vendor, LONG adapterRAM, std::uint64_t dxgiBytes, GLint kibibytes, bool rejects)
        : GPUWin(boost::make_shared<InertContext>(), vendor, 0x1234, dxgiBytes, Record(adapterRAM)),
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

TEST(GPUWinMemory, LargestOfWMIDXGIAndVendorFigureInWholeMiB)
{
    const LONG justUnder4GiB = static_cast<LONG>(4293918720u);
    const std::uint64_t GiB = 1073741824;
    const struct {
        std::uint32_t vendor;
        LONG adapterRAM;
        std::uint64_t dxgiBytes;
        GLint kibibytes;
        bool rejects;
        unsigned int megabytes;
        GLenum asked;
    } cases[] = {
        {0x10DE, justUnder4GiB, 0, 8388608, false, 8192, 0x9047},
        {0x10DE, 0, 0, 2097152, false, 2048, 0x9047},
        {0x1002, 1073741824, 0, 524288, false, 1024, 0x87FC},  // the GL knows less than WMI
        {0x8086, 1073741824 + 1048575, 0, 0, false, 1024, 0},  // rounds down
        {0x8086, 1073741824, 0, 99999999, false, 1024, 0},     // other vendors never ask the GL
        {0, -1, 0, 99999999, false, 4095, 0},                  // 4294967295 bytes: WMI's ceiling
        {0x10DE, 536870912, 0, 0, true, 512, 0x9047},          // a rejected query leaves WMI's figure
        {0x1002, 0, 0, 0, true, 0, 0x87FC},
        {0x8086, justUnder4GiB, 16 * GiB, 0, false, 16384, 0},  // DXGI past WMI's ceiling
        {0x8086, 1073741824, GiB / 2, 0, false, 1024, 0},       // DXGI smaller: WMI stands
        {0x10DE, justUnder4GiB, 16 * GiB, 33554432, false, 32768, 0x9047},
        {0x1002, justUnder4GiB, 8 * GiB, 0, true, 8192, 0x87FC},
    };
    for (const auto& c : cases) {
        MemoryGPU gpu(c.vendor, c.adapterRAM, c.dxgiBytes, c.kibibytes, c.rejects);
        EXPECT_EQ(c.megabytes, gpu.MemoryMB()) << std::hex << c.vendor << std::dec << " " << c.adapterRAM << " "
                                               << c.dxgiBytes;
        EXPECT_EQ(c.asked, gpu.asked) << c.megabytes;
    }
}

TEST(GPUWin, IdentifiersAndWMITextsPassThroughUnchanged)
{
    FakeWbemClassObject row;
    row.setText(L"Caption", L"Radeon \u2122");
    row.setText(L"InstalledDisplayDrivers", L"a.dll,b.dll");
    row.setText(L"DriverVersion", L" 8.17 ");
    row.setText(L"DriverDate", L"20240131000000.000000-000");
    GPUWin gpu(boost::make_shared<InertContext>(), 0x1002, 0x6798, 0, WMIData(&row));
    EXPECT_EQ(0x1002u, gpu.VendorID());
    EXPECT_EQ(0x6798u, gpu.RendererID());
    EXPECT_EQ("Radeon \\x2122", gpu.Caption());
    EXPECT_EQ("a.dll,b.dll", gpu.Driver());
    EXPECT_EQ(" 8.17 ", gpu.DriverVersion());
    EXPECT_EQ("20240131000000.000000-000", gpu.DriverDate());
}

TEST(GPUWin, OpenCLSharingHelpers)
{
    GPUWin gpu(boost::make_shared<InertContext>(), 0, 0, 0, Record(0));
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
