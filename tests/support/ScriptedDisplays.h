#pragma once

#include "enumeration/EnumerationSystemWin.h"
#include "wmi/ComReference.h"

#include <string>
#include <vector>

namespace testsupport {

// Display devices of a test's choice: Wine's one WMI row offered once per
// device, each device with its state flags, every context opened on Wine's
// one real device. The display driver crashes while a device whose index is
// a digit of `crashing` makes its context.
class ScriptedDisplays : public EnumerationSystemWin {
public:
    explicit ScriptedDisplays(const std::vector<DWORD>& flags, const std::string& crashing = std::string())
        : flags_(flags), crashing_(crashing)
    {
    }

    std::vector<std::size_t> asked;  // display device indexes, in the order asked
    std::vector<DXGI_ADAPTER_DESC> adapters;  // in place of DXGI's when there are any

    HRESULT NextRow(IEnumWbemClassObject* enumerator, IWbemClassObject** row) override
    {
        if (!row_ && FAILED(EnumerationSystemWin::NextRow(enumerator, row_.receive()))) {
            return E_FAIL;
        }
        *row = rows_++ < flags_.size() ? row_.get() : nullptr;
        if (*row != nullptr) {
            (*row)->AddRef();
        }
        return S_OK;
    }
    HRESULT AdapterDescription(IDXGIFactory* factory, UINT index, DXGI_ADAPTER_DESC& description) override
    {
        if (adapters.empty()) {
            return EnumerationSystemWin::AdapterDescription(factory, index, description);
        }
        description = adapters.at(index);
        return S_OK;
    }
    void DisplayDevice(std::size_t index, DISPLAY_DEVICEA& device) override
    {
        asked.push_back(index);
        device.StateFlags = index < flags_.size() ? flags_[index] : 0;
    }
    ZEB::OGL::Context* CreateOffscreenContext(const DISPLAY_DEVICEA&) override
    {
        if (crashing_.find(static_cast<char>('0' + asked.back())) != std::string::npos) {
            volatile int* volatile nowhere = nullptr;
            *nowhere = 1;
        }
        DISPLAY_DEVICEA real = {};
        real.cb = sizeof real;
        EnumerationSystemWin::DisplayDevice(0, real);
        return EnumerationSystemWin::CreateOffscreenContext(real);
    }

private:
    std::vector<DWORD> flags_;
    std::string crashing_;
    ComReference<IWbemClassObject> row_;
    std::size_t rows_ = 0;
};

} // namespace testsupport
