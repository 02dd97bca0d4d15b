#pragma once

#include "FakeComObject.h"
#include "FakeDXGIAdapter.h"

#include <memory>
#include <vector>

namespace testsupport {

// A DXGI factory over the test's adapters; EnumAdapters fails past the last.
class FakeDXGIFactory : public FakeComObject<IDXGIFactory> {
public:
    explicit FakeDXGIFactory(ComJournal* journal) : FakeComObject<IDXGIFactory>("dxgi factory", journal), journal_(journal)
    {
    }

    void addAdapter(UINT vendorID, UINT deviceID, SIZE_T memory = 0)
    {
        adapters_.emplace_back(new FakeDXGIAdapter("dxgi adapter " + std::to_string(adapters_.size()), journal_,
                                                   vendorID, deviceID, memory));
    }

    HRESULT STDMETHODCALLTYPE EnumAdapters(UINT index, IDXGIAdapter** adapter) override
    {
        *adapter = nullptr;
        if (index >= adapters_.size()) {
            return DXGI_ERROR_NOT_FOUND;
        }
        *adapter = adapters_[index]->HandOut();
        return S_OK;
    }
    FAKE_COM_UNUSED(MakeWindowAssociation, (HWND, UINT))
    FAKE_COM_UNUSED(GetWindowAssociation, (HWND*))
    FAKE_COM_UNUSED(CreateSwapChain, (IUnknown*, DXGI_SWAP_CHAIN_DESC*, IDXGISwapChain**))
    FAKE_COM_UNUSED(CreateSoftwareAdapter, (HMODULE, IDXGIAdapter**))
    FAKE_COM_UNUSED(SetPrivateData, (REFGUID, UINT, const void*))
    FAKE_COM_UNUSED(SetPrivateDataInterface, (REFGUID, const IUnknown*))
    FAKE_COM_UNUSED(GetPrivateData, (REFGUID, UINT*, void*))
    FAKE_COM_UNUSED(GetParent, (REFIID, void**))

private:
    ComJournal* journal_;
    std::vector<std::unique_ptr<FakeDXGIAdapter> > adapters_;
};

} // namespace testsupport
