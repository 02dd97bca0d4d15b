#pragma once

#include "enumeration/EnumerationSystem.h"

// The enumeration's system calls on Windows.
class EnumerationSystemWin : public EnumerationSystem {
public:
    HMODULE LoadSystemLibrary(const std::string& fileName) override;
    FARPROC ProcAddress(HMODULE module, const char* name) override;
    void FreeLibrary(HMODULE module) override;

    HRESULT InitializeCOM() override;
    HRESULT InitializeCOMSecurity() override;
    HRESULT CreateWbemLocator(IWbemLocator** locator) override;
    void UninitializeCOM() override;
    HRESULT NextRow(IEnumWbemClassObject* enumerator, IWbemClassObject** row) override;

    HRESULT AdapterDescription(IDXGIFactory* factory, UINT index, DXGI_ADAPTER_DESC& description) override;
    void DisplayDevice(std::size_t index, DISPLAY_DEVICEA& device) override;
    ZEB::OGL::Context* CreateOffscreenContext(const DISPLAY_DEVICEA& device) override;
};
