#pragma once

#include "FakeComObject.h"

#include <dxgi.h>

namespace testsupport {

// A DXGI adapter with the PCI identifiers and dedicated memory the test gives it.
class FakeDXGIAdapter : public FakeComObject<IDXGIAdapter> {
public:
    FakeDXGIAdapter(const std::string& name, ComJournal* journal, UINT vendorID, UINT deviceID, SIZE_T memory)
        : FakeComObject<IDXGIAdapter>(name, journal), vendorID_(vendorID), deviceID_(deviceID), memory_(memory)
    {
    }

    HRESULT STDMETHODCALLTYPE GetDesc(DXGI_ADAPTER_DESC* description) override
    {
        *description = DXGI_ADAPTER_DESC();
        description->VendorId = vendorID_;
        description->DeviceId = deviceID_;
        description->DedicatedVideoMemory = memory_;
        return S_OK;
    }
    FAKE_COM_UNUSED(EnumOutputs, (UINT, IDXGIOutput**))
    FAKE_COM_UNUSED(CheckInterfaceSupport, (REFGUID, LARGE_INTEGER*))
    FAKE_COM_UNUSED(SetPrivateData, (REFGUID, UINT, const void*))
    FAKE_COM_UNUSED(SetPrivateDataInterface, (REFGUID, const IUnknown*))
    FAKE_COM_UNUSED(GetPrivateData, (REFGUID, UINT*, void*))
    FAKE_COM_UNUSED(GetParent, (REFIID, void**))

private:
    UINT vendorID_;
    UINT deviceID_;
    SIZE_T memory_;
};

} // namespace testsupport
