#include "sysinfo/DirectXProbe.h"

#include "FakeDirect3D9.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <d3d10.h>

#include <set>
#include <sstream>
#include <string>

using testsupport::ComJournal;
using testsupport::FakeDirect3D9;
using ::testing::ElementsAre;

namespace {

// The libraries and the process as the probe sees them.
struct FakeSystem {
    ComJournal journal;
    std::set<std::string> missingLibraries;
    std::set<std::string> missingExports;
    HRESULT createDeviceResult = S_OK;
    bool direct3DCreated = true;
    FakeDirect3D9 direct3D{&journal};
};

FakeSystem* g_system = nullptr;

const HMODULE kD3D10 = reinterpret_cast<HMODULE>(0x10100000);
const HMODULE kD3D9 = reinterpret_cast<HMODULE>(0x10090000);

struct ProcessEnded {
    int status;
};

HMODULE FakeLoad(const char* fileName)
{
    const std::string name = fileName;
    g_system->journal.push_back("load " + name);
    if (g_system->missingLibraries.count(name) != 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return name == "d3d10.dll" ? kD3D10 : name == "d3d9.dll" ? kD3D9 : nullptr;
}

HRESULT WINAPI FakeD3D10CreateDevice(IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT, UINT, ID3D10Device** device)
{
    *device = nullptr;
    return g_system->createDeviceResult;
}

IDirect3D9* WINAPI FakeDirect3DCreate9(UINT)
{
    return g_system->direct3DCreated ? g_system->direct3D.HandOut() : nullptr;
}

FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name)
{
    if (g_system->missingExports.count(name) != 0) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (module == kD3D10 && std::string(name) == "D3D10CreateDevice") {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeD3D10CreateDevice));
    }
    if (module == kD3D9 && std::string(name) == "Direct3DCreate9") {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeDirect3DCreate9));
    }
    return nullptr;
}

BOOL WINAPI FakeFreeLibrary(HMODULE module)
{
    g_system->journal.push_back(module == kD3D10 ? "free d3d10.dll" : "free d3d9.dll");
    return TRUE;
}

void FakeExit(int status)
{
    g_system->journal.push_back("exit " + std::to_string(status));
    throw ProcessEnded{status};
}

class DirectXProbeTest : public ::testing::Test {
protected:
    DirectXProbeTest() { g_system = &system_; }
    ~DirectXProbeTest() override { g_system = nullptr; }

    void TearDown() override { EXPECT_EQ(0u, system_.direct3D.references()); }

    // Runs one probe step; true when it ended the process instead of returning.
    template <typename Step>
    bool Ends(Step step)
    {
        const DirectXProbe::Platform fake = {&FakeLoad, &FakeGetProcAddress, &FakeFreeLibrary, &FakeExit};
        DirectXProbe probe(fake, out_);
        try {
            step(probe);
        } catch (const ProcessEnded& ended) {
            EXPECT_EQ(0, ended.status);
            return true;
        }
        return false;
    }
    bool EndsTestDirectX()
    {
        return Ends([](DirectXProbe& probe) { probe.TestDirectX(); });
    }

    FakeSystem system_;
    std::ostringstream out_;
};

} // namespace

TEST_F(DirectXProbeTest, Direct3D10DevicePassesWithoutTouchingDirect3D9)
{
    EXPECT_FALSE(EndsTestDirectX());
    EXPECT_EQ("", out_.str());
    EXPECT_THAT(system_.journal, ElementsAre("load d3d10.dll", "free d3d10.dll"));
}

TEST_F(DirectXProbeTest, FallsBackToDirect3D9WhenDirect3D10IsMissingOrFails)
{
    system_.missingLibraries = {"d3d10.dll"};
    EXPECT_FALSE(EndsTestDirectX());
    EXPECT_EQ("shader model: ffff0300\n", out_.str());
    EXPECT_THAT(system_.journal,
                ElementsAre("load d3d10.dll", "load d3d9.dll", "release direct3d9", "free d3d9.dll"));

    system_.missingLibraries.clear();
    system_.missingExports = {"D3D10CreateDevice"};
    system_.journal.clear();
    out_.str("");
    EXPECT_FALSE(EndsTestDirectX());
    EXPECT_EQ("Error in loading D3D10CreateDevice: 127\nshader model: ffff0300\n", out_.str());
    EXPECT_THAT(system_.journal, ElementsAre("load d3d10.dll", "free d3d10.dll", "load d3d9.dll",
                                             "release direct3d9", "free d3d9.dll"));

    // Only S_OK counts as a device.
    for (const HRESULT result : {E_FAIL, S_FALSE}) {
        system_.missingExports.clear();
        system_.createDeviceResult = result;
        out_.str("");
        EXPECT_FALSE(EndsTestDirectX());
        EXPECT_EQ("shader model: ffff0300\n", out_.str());
    }
}

TEST_F(DirectXProbeTest, MissingDirect3D9EndsTheProcess)
{
    system_.missingLibraries = {"d3d10.dll", "d3d9.dll"};
    EXPECT_TRUE(EndsTestDirectX());
    EXPECT_EQ("Error in loading DirectX: 126\nReturn code: 0\n", out_.str());
    EXPECT_THAT(system_.journal, ElementsAre("load d3d10.dll", "load d3d9.dll", "exit 0"));
}

TEST_F(DirectXProbeTest, Direct3D9FailuresReleaseUnloadAndEndTheProcess)
{
    struct Case {
        const char* what;
        const char* missingExport;
        bool created;
        HRESULT capsResult;
        DWORD pixelShaderVersion;
        const char* line;
    };
    const Case cases[] = {
        {"no entry point", "Direct3DCreate9", true, D3D_OK, 0, "Error in loading Direct3DCreate9: 127"},
        {"no object", "", false, D3D_OK, 0, "Error in calling Direct3DCreate9"},
        {"no caps", "", true, D3DERR_NOTAVAILABLE, 0, "Error in calling GetDeviceCaps: 2289436778"},
        {"ps 2.0", "", true, D3D_OK, D3DPS_VERSION(2, 0), "shader model: 4294902272"},
        {"just below 3.0", "", true, D3D_OK, 0xFFFF02FF, "shader model: 4294902527"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system_.journal.clear();
        out_.str("");
        system_.missingExports = {c.missingExport};
        system_.direct3DCreated = c.created;
        system_.direct3D.capsResult = c.capsResult;
        system_.direct3D.pixelShaderVersion = c.pixelShaderVersion;

        EXPECT_TRUE(Ends([](DirectXProbe& probe) { probe.TestD3D9ShaderModel(kD3D9); }));
        EXPECT_EQ(std::string(c.line) + "\nReturn code: 0\n", out_.str());
        if (c.created && *c.missingExport == '\0') {
            EXPECT_THAT(system_.journal, ElementsAre("release direct3d9", "free d3d9.dll", "exit 0"));
        } else {
            EXPECT_THAT(system_.journal, ElementsAre("free d3d9.dll", "exit 0"));
        }
    }
}

TEST_F(DirectXProbeTest, PixelShader30OrHigherPassesInHexadecimal)
{
    system_.direct3D.pixelShaderVersion = D3DPS_VERSION(4, 1);
    EXPECT_FALSE(Ends([](DirectXProbe& probe) { probe.TestD3D9ShaderModel(kD3D9); }));
    EXPECT_EQ("shader model: ffff0401\n", out_.str());
    EXPECT_THAT(system_.journal, ElementsAre("release direct3d9", "free d3d9.dll"));
}
