#pragma once

#include "FakeComObject.h"

#include <d3d9.h>

#include <vector>

namespace testsupport {

// A Direct3D 9 object whose device capabilities the test sets.
class FakeDirect3D9 : public FakeComObject<IDirect3D9> {
public:
    explicit FakeDirect3D9(ComJournal* journal) : FakeComObject<IDirect3D9>("direct3d9", journal) {}

    HRESULT capsResult = D3D_OK;
    DWORD pixelShaderVersion = D3DPS_VERSION(3, 0);

    // PCI identifiers of adapters 0, 1, ... and what asking for each returns.
    struct Identifier {
        DWORD vendorID;
        DWORD deviceID;
        HRESULT result;
    };
    std::vector<Identifier> identifiers;

    HRESULT STDMETHODCALLTYPE GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* identifier) override
    {
        if (adapter >= identifiers.size()) {
            return D3DERR_INVALIDCALL;
        }
        *identifier = D3DADAPTER_IDENTIFIER9();
        identifier->VendorId = identifiers[adapter].vendorID;
        identifier->DeviceId = identifiers[adapter].deviceID;
        return identifiers[adapter].result;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override
    {
        if (adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL) {
            return D3DERR_INVALIDCALL;  // only the primary hardware device exists here
        }
        if (capsResult == D3D_OK) {
            *caps = D3DCAPS9();
            caps->PixelShaderVersion = pixelShaderVersion;
        }
        return capsResult;
    }

    FAKE_COM_UNUSED(RegisterSoftwareDevice, (void*))
    UINT STDMETHODCALLTYPE GetAdapterCount() override { return 1; }
    UINT STDMETHODCALLTYPE GetAdapterModeCount(UINT, D3DFORMAT) override { return 0; }
    FAKE_COM_UNUSED(EnumAdapterModes, (UINT, D3DFORMAT, UINT, D3DDISPLAYMODE*))
    FAKE_COM_UNUSED(GetAdapterDisplayMode, (UINT, D3DDISPLAYMODE*))
    FAKE_COM_UNUSED(CheckDeviceType, (UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, WINBOOL))
    FAKE_COM_UNUSED(CheckDeviceFormat, (UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE, D3DFORMAT))
    FAKE_COM_UNUSED(CheckDeviceMultiSampleType, (UINT, D3DDEVTYPE, D3DFORMAT, WINBOOL, D3DMULTISAMPLE_TYPE, DWORD*))
    FAKE_COM_UNUSED(CheckDepthStencilMatch, (UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT))
    FAKE_COM_UNUSED(CheckDeviceFormatConversion, (UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT))
    HMONITOR STDMETHODCALLTYPE GetAdapterMonitor(UINT) override { return nullptr; }
    FAKE_COM_UNUSED(CreateDevice, (UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*, IDirect3DDevice9**))
};

} // namespace testsupport
