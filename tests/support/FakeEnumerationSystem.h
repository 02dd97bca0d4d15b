#pragma once

#include "FakeDXGIFactory.h"
#include "FakeDirect3D9.h"
#include "FakeWbemLocator.h"

#include "gpu/EnumerationSystem.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

// A machine for the adapter enumeration: libraries with the functions they
// export, DXGI and Direct3D 9 adapters, COM and WMI, display devices. It is
// the enumeration's system for its lifetime and notes every step in the
// journal ("load D3D9.dll", "CoUninitialize", "release locator", ...).
class FakeEnumerationSystem : public EnumerationSystem {
public:
    FakeEnumerationSystem();
    ~FakeEnumerationSystem() override;

    ComJournal journal;

    // Library file name -> exported functions. A name not listed fails to load.
    std::map<std::string, std::set<std::string> > libraries;
    FakeDXGIFactory dxgiFactory;
    HRESULT createFactoryResult = S_OK;
    FakeDirect3D9 direct3D;
    bool direct3DCreateReturnsNull = false;

    HRESULT comResult = S_OK;
    HRESULT securityResult = S_OK;
    HRESULT locatorResult = S_OK;
    FakeWbemLocator locator;

    // StateFlags of display device i; devices past the end read as 0.
    std::vector<DWORD> displays;
    // Context creation on the display device with this index throws.
    int contextFailsAt = -1;
    int liveContexts = 0;

    // A Win32_VideoController row with a caption and an adapter memory size.
    FakeWbemClassObject& addRow(const std::wstring& caption, LONG adapterRAM);

    // The journal entries that start with `prefix`.
    std::vector<std::string> entries(const std::string& prefix) const;

    HMODULE LoadSystemLibrary(const std::string& fileName) override;
    FARPROC ProcAddress(HMODULE module, const char* name) override;
    void FreeLibrary(HMODULE module) override;
    HRESULT InitializeCOM() override;
    HRESULT InitializeCOMSecurity() override;
    HRESULT CreateWbemLocator(IWbemLocator** result) override;
    void UninitializeCOM() override;
    void DisplayDevice(std::size_t index, DISPLAY_DEVICEA& device) override;
    ZEB::OGL::Context* CreateOffscreenContext(const DISPLAY_DEVICEA& device) override;

    // For the exported functions, which cannot carry state of their own.
    static FakeEnumerationSystem* active;

private:
    std::vector<std::unique_ptr<FakeWbemClassObject> > rows_;
    std::vector<std::string> loaded_;  // index + 1 is the fake module handle
};

} // namespace testsupport
