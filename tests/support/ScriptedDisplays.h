#pragma once

#include "enumeration/EnumerationSystemWin.h"
#include "wmi/ComReference.h"

#include "zeb/ogl/Context.h"

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// The display driver's crash: a write through a null pointer.
inline void CrashTheDriver()
{
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

// A context on Wine's real device whose driver crashes when it is made
// current for the `crashAt`-th time (0: never).
class CrashingContext : public ZEB::OGL::Context {
public:
    CrashingContext(ZEB::OGL::Context* real, int crashAt) : real_(real), left_(crashAt)
    {
        hDeviceContext_ = real->deviceContext();
        hRenderContext_ = real->renderContext();
    }
    void makeCurrent() const override
    {
        if (left_ > 0 && --left_ == 0) {
            CrashTheDriver();
        }
        real_->makeCurrent();
    }

private:
    std::unique_ptr<ZEB::OGL::Context> real_;
    mutable int left_;
};

// Display devices of a test's choice: Wine's one WMI row offered once per
// device, each device with its state flags, every context opened on Wine's
// one real device. The display driver crashes while a device whose index is
// a digit of `crashing` makes its context, and (`crashingContext` "<device
// index><n>") when that device's context is made current for the n-th time.
class ScriptedDisplays : public EnumerationSystemWin {
public:
    explicit ScriptedDisplays(const std::vector<DWORD>& flags, const std::string& crashing = std::string(),
                              const std::string& crashingContext = std::string())
        : flags_(flags), crashing_(crashing), crashingContext_(crashingContext)
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
        const char device = static_cast<char>('0' + asked.back());
        if (crashing_.find(device) != std::string::npos) {
            CrashTheDriver();
        }
        DISPLAY_DEVICEA real = {};
        real.cb = sizeof real;
        EnumerationSystemWin::DisplayDevice(0, real);
        const bool crashes = crashingContext_.size() == 2 && crashingContext_[0] == device;
        return new CrashingContext(EnumerationSystemWin::CreateOffscreenContext(real),
                                   crashes ? crashingContext_[1] - '0' : 0);
    }

private:
    std::vector<DWORD> flags_;
    std::string crashing_;
    std::string crashingContext_;
    ComReference<IWbemClassObject> row_;
    std::size_t rows_ = 0;
};

} // namespace testsupport
