#include "sysinfo/DirectXProbe.h"

#include "wmi/ComReference.h"
#include "zeb/core/system/SystemLibrary.h"

#include <d3d10.h>
#include <d3d9.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

namespace {

typedef HRESULT(WINAPI* D3D10CreateDeviceFunction)(IDXGIAdapter*, D3D10_DRIVER_TYPE, HMODULE, UINT, UINT,
                                                    ID3D10Device**);
typedef IDirect3D9*(WINAPI* Direct3DCreate9Function)(UINT);

const DWORD kPixelShader30 = D3DPS_VERSION(3, 0);

template <typename Function>
Function Lookup(const DirectXProbe::Platform& platform, HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(platform.getProcAddress(module, name)));
}

std::string Hex(DWORD value)
{
    std::ostringstream text;
    text << std::hex << value;
    return text.str();
}

} // namespace

DirectXProbe::Platform DirectXProbe::SystemPlatform()
{
    // Never by bare name: a d3d*.dll planted in the working directory or next
    // to the exe must not be loaded.
    return Platform{&ZEB::Core::SystemLibrary::load, &::GetProcAddress, &::FreeLibrary, &std::exit};
}

DirectXProbe::DirectXProbe(const Platform& platform, std::ostream& out) : platform_(platform), out_(out) {}

void DirectXProbe::EndProcess()
{
    out_ << "Return code: 0" << std::endl;
    platform_.exit(0);
    std::abort();  // an exit function that returns is a broken platform
}

void DirectXProbe::Fail(HMODULE d3d9)
{
    platform_.freeLibrary(d3d9);
    EndProcess();
}

void DirectXProbe::TestDirectX()
{
    const HMODULE d3d10 = platform_.loadLibrary("d3d10.dll");
    if (d3d10 != nullptr) {
        const DWORD result = TestD3D10Device(d3d10);
        platform_.freeLibrary(d3d10);
        if (result == 0) {
            return;
        }
    }

    const HMODULE d3d9 = platform_.loadLibrary("d3d9.dll");
    if (d3d9 == nullptr) {
        const DWORD error = GetLastError();
        out_ << "Error in loading DirectX: " << std::to_string(error) << std::endl;
        EndProcess();
    }
    TestD3D9ShaderModel(d3d9);
}

DWORD DirectXProbe::TestD3D10Device(HMODULE d3d10)
{
    const auto createDevice = Lookup<D3D10CreateDeviceFunction>(platform_, d3d10, "D3D10CreateDevice");
    if (createDevice == nullptr) {
        const DWORD error = GetLastError();
        out_ << "Error in loading D3D10CreateDevice: " << std::to_string(error) << std::endl;
        return error != 0 ? error : static_cast<DWORD>(E_FAIL);
    }

    ComReference<ID3D10Device> device;
    const HRESULT created =
        createDevice(nullptr, D3D10_DRIVER_TYPE_HARDWARE, nullptr, 0, D3D10_SDK_VERSION, device.receive());
    // Success codes other than S_OK count as failures too; a device handed
    // out with one is still released.
    if (created != S_OK) {
        return static_cast<DWORD>(E_FAIL);
    }
    device.reset();
    return 0;
}

void DirectXProbe::TestD3D9ShaderModel(HMODULE d3d9)
{
    const auto create = Lookup<Direct3DCreate9Function>(platform_, d3d9, "Direct3DCreate9");
    if (create == nullptr) {
        const DWORD error = GetLastError();
        out_ << "Error in loading Direct3DCreate9: " << std::to_string(error) << std::endl;
        Fail(d3d9);
    }

    ComReference<IDirect3D9> direct3D(create(D3D_SDK_VERSION));
    if (!direct3D) {
        out_ << "Error in calling Direct3DCreate9" << std::endl;
        Fail(d3d9);
    }

    // The object goes before the library that implements it, on every path.
    D3DCAPS9 caps = {};
    const HRESULT capsRead = direct3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
    if (capsRead != D3D_OK) {
        out_ << "Error in calling GetDeviceCaps: " << std::to_string(static_cast<std::uint32_t>(capsRead))
             << std::endl;
        direct3D.reset();
        Fail(d3d9);
    }
    if (caps.PixelShaderVersion < kPixelShader30) {
        out_ << "shader model: " << std::to_string(caps.PixelShaderVersion) << std::endl;
        direct3D.reset();
        Fail(d3d9);
    }

    direct3D.reset();
    platform_.freeLibrary(d3d9);
    out_ << "shader model: " << Hex(caps.PixelShaderVersion) << std::endl;
}

void TestDirectX()
{
    DirectXProbe probe(DirectXProbe::SystemPlatform(), std::cout);
    probe.TestDirectX();
}

DWORD TestD3D10Device(HMODULE d3d10)
{
    DirectXProbe probe(DirectXProbe::SystemPlatform(), std::cout);
    return probe.TestD3D10Device(d3d10);
}

void TestD3D9ShaderModel(HMODULE d3d9)
{
    DirectXProbe probe(DirectXProbe::SystemPlatform(), std::cout);
    probe.TestD3D9ShaderModel(d3d9);
}
