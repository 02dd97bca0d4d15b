#include "gpu/GPUWin.h"

#include "gpu/GLErrorException.h"

#include "zeb/ogl/ContextOffscreen.h"

#include <gtest/gtest.h>

#include <wbemidl.h>

#include <boost/make_shared.hpp>

#include <map>
#include <vector>

namespace {

#define UNUSED_METHOD(method, parameters) \
    HRESULT STDMETHODCALLTYPE method parameters override { return E_NOTIMPL; }

// A Win32_VideoController row of the test's making: Wine gives Name and
// Caption the same text, so only a row like this tells them apart.
class Row : public IWbemClassObject {
public:
    std::map<std::wstring, std::wstring> texts;
    LONG adapterRAM = 0;

    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT* value, CIMTYPE*, LONG*) override
    {
        VariantInit(value);
        if (std::wstring(name) == L"AdapterRAM") {
            value->vt = VT_I4;
            value->lVal = adapterRAM;
        } else if (texts.count(name) != 0) {
            value->vt = VT_BSTR;
            value->bstrVal = SysAllocString(texts[name].c_str());
        } else {
            return WBEM_E_NOT_FOUND;
        }
        return WBEM_S_NO_ERROR;
    }
    UNUSED_METHOD(QueryInterface, (REFIID, void**))
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    UNUSED_METHOD(GetQualifierSet, (IWbemQualifierSet**))
    UNUSED_METHOD(Put, (LPCWSTR, LONG, VARIANT*, CIMTYPE))
    UNUSED_METHOD(Delete, (LPCWSTR))
    UNUSED_METHOD(GetNames, (LPCWSTR, LONG, VARIANT*, SAFEARRAY**))
    UNUSED_METHOD(BeginEnumeration, (LONG))
    UNUSED_METHOD(Next, (LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*))
    UNUSED_METHOD(EndEnumeration, ())
    UNUSED_METHOD(GetPropertyQualifierSet, (LPCWSTR, IWbemQualifierSet**))
    UNUSED_METHOD(Clone, (IWbemClassObject**))
    UNUSED_METHOD(GetObjectText, (LONG, BSTR*))
    UNUSED_METHOD(SpawnDerivedClass, (LONG, IWbemClassObject**))
    UNUSED_METHOD(SpawnInstance, (LONG, IWbemClassObject**))
    UNUSED_METHOD(CompareTo, (LONG, IWbemClassObject*))
    UNUSED_METHOD(GetPropertyOrigin, (LPCWSTR, BSTR*))
    UNUSED_METHOD(InheritsFrom, (LPCWSTR))
    UNUSED_METHOD(GetMethod, (LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**))
    UNUSED_METHOD(PutMethod, (LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*))
    UNUSED_METHOD(DeleteMethod, (LPCWSTR))
    UNUSED_METHOD(BeginMethodEnumeration, (LONG))
    UNUSED_METHOD(NextMethod, (LONG, BSTR*, IWbemClassObject**, IWbemClassObject**))
    UNUSED_METHOD(EndMethodEnumeration, ())
    UNUSED_METHOD(GetMethodQualifierSet, (LPCWSTR, IWbemQualifierSet**))
    UNUSED_METHOD(GetMethodOrigin, (LPCWSTR, BSTR*))
};

class InertContext : public ZEB::OGL::Context {
public:
    void makeCurrent() const override {}
};

// Mesa offers neither vendor's memory query, so the GL here answers it with
// a fixed KiB count, or rejects it as a driver without the extension does.
class MemoryGPU : public GPUWin {
public:
    MemoryGPU(std::uint32_t vendor, const WMIData& wmi, std::uint64_t dxgiBytes, GLint kibibytes)
        : GPUWin(boost::make_shared<InertContext>(), vendor, 0, dxgiBytes, wmi), kibibytes_(kibibytes)
    {
    }
    GLenum asked = 0;
    void GetIntegerv(GLenum pname, GLint* params) override
    {
        asked = pname;
        if (kibibytes_ < 0) {
            throw GLErrorException();
        }
        params[0] = kibibytes_;
    }

private:
    GLint kibibytes_;
};

} // namespace

TEST(GPUWin, MemoryIsTheLargestOfWMIDXGIAndTheVendorsGLFigure)
{
    const LONG justUnder4GiB = static_cast<LONG>(4293918720u);
    const std::uint64_t GiB = 1 << 30;
    const struct {
        std::uint32_t vendor;
        LONG adapterRAM;
        std::uint64_t dxgiBytes;
        GLint kibibytes;  // -1: the query is rejected
        unsigned int megabytes;
        GLenum asked;
    } cases[] = {
        {0x10DE, justUnder4GiB, 0, 8388608, 8192, 0x9047},
        {0x1002, 1 << 30, 0, 524288, 1024, 0x87FC},       // the GL knows less than WMI
        {0x8086, (1 << 30) + 1048575, 0, 99999999, 1024, 0},  // other vendors never ask the GL
        {0x10DE, 1 << 29, 0, -1, 512, 0x9047},
        {0, -1, 0, 0, 4095, 0},                            // WMI's ceiling, taken as unsigned
        {0x1002, justUnder4GiB, 8 * GiB, -1, 8192, 0x87FC},
    };
    for (const auto& c : cases) {
        Row row;
        row.adapterRAM = c.adapterRAM;
        MemoryGPU gpu(c.vendor, WMIData(&row), c.dxgiBytes, c.kibibytes);
        EXPECT_EQ(c.megabytes, gpu.MemoryMB()) << c.vendor << " " << c.adapterRAM << " " << c.dxgiBytes;
        EXPECT_EQ(c.asked, gpu.asked) << c.megabytes;
    }
}

TEST(GPUWin, CaptionComesFromTheRowsCaptionEscaped)
{
    Row row;
    row.texts = {{L"Name", L"the name"}, {L"Caption", L"Radeon\u2122 \x7f"}};
    GPUWin gpu(boost::make_shared<InertContext>(), 0x1002, 0x6798, 0, WMIData(&row));
    EXPECT_EQ("Radeon\\x2122 \\x007f", gpu.Caption());
    // Its OpenCL rules: no "1.0" anywhere, a rate of at least 12.
    EXPECT_EQ((std::vector<bool>{false, true, false, true, false}),
              (std::vector<bool>{gpu.IsOpenCLVersionSupported("OpenCL 1.0 CUDA"), gpu.IsOpenCLVersionSupported("2.0"),
                                 gpu.IsOpenCLVersionSupported(nullptr), gpu.IsOpenCLBandwidthSufficient(12),
                                 gpu.IsOpenCLBandwidthSufficient(11)}));
}

TEST(GPUWin, RejectedGLQueryThrowsOnWinesGL)
{
    GPUWin gpu(boost::make_shared<ZEB::OGL::ContextOffscreen>(ZEB::OGL::Context::primaryDisplayDevice()), 0, 0, 0,
               WMIData(nullptr));
    EXPECT_THROW(gpu.GetString(0x1234), GLErrorException);
    GLint value = 0;
    EXPECT_THROW(gpu.GetIntegerv(0xFFFF, &value), GLErrorException);
    EXPECT_FALSE(gpu.Renderer().empty());
}
