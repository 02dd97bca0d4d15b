// The DirectX probe on Wine's Direct3D 10 and 9, and on libraries without
// their entry points.
#include "sysinfo/DirectXProbe.h"

#include "StreamCapture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

FARPROC WINAPI NoEntryPoint(HMODULE, LPCSTR)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

[[noreturn]] void EndByThrowing(int status) { throw status; }

} // namespace

TEST(DirectXProbe, PassesOnWinesDirect3DAndFailsWithoutItsEntryPoints)
{
    const HMODULE d3d10 = LoadLibraryA("d3d10.dll");
    EXPECT_EQ(0u, TestD3D10Device(d3d10));
    FreeLibrary(d3d10);
    testsupport::StreamCapture capture;
    TestD3D9ShaderModel(LoadLibraryA("d3d9.dll"));  // which unloads it
    EXPECT_EQ("shader model: ffff0300\n", capture.out());

    DirectXProbe::Platform platform = DirectXProbe::SystemPlatform();
    platform.getProcAddress = &NoEntryPoint;
    platform.exit = &EndByThrowing;
    std::ostringstream out;
    DirectXProbe probe(platform, out);
    EXPECT_THROW(probe.TestDirectX(), int);
    EXPECT_EQ("Error in loading D3D10CreateDevice: 127\nError in loading Direct3DCreate9: 127\nReturn code: 0\n",
              out.str());
}
