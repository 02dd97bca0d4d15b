#pragma once

#include <windows.h>
#include <dxgi.h>
#include <wbemidl.h>

#include <cstddef>
#include <string>

namespace ZEB {
namespace OGL {
class Context;
} // namespace OGL
} // namespace ZEB

// The system calls of the adapter enumeration. The Windows implementation
// passes them straight through; tests install one of their own to walk the
// failure paths.
class EnumerationSystem {
public:
    virtual ~EnumerationSystem();

    // The process's implementation (the real one unless a replacement is installed).
    static EnumerationSystem& Current();
    // Makes Current() return `replacement` until called again with null; the
    // caller keeps ownership.
    static void InstallReplacement(EnumerationSystem* replacement);

    // Loads a Windows library from the system directory; null when it cannot.
    virtual HMODULE LoadSystemLibrary(const std::string& fileName) = 0;
    virtual FARPROC ProcAddress(HMODULE module, const char* name) = 0;
    virtual void FreeLibrary(HMODULE module) = 0;

    virtual HRESULT InitializeCOM() = 0;
    virtual HRESULT InitializeCOMSecurity() = 0;
    virtual HRESULT CreateWbemLocator(IWbemLocator** locator) = 0;
    virtual void UninitializeCOM() = 0;
    // The next Win32_VideoController row; S_OK with a null row at the end.
    virtual HRESULT NextRow(IEnumWbemClassObject* enumerator, IWbemClassObject** row) = 0;

    // DXGI's description of adapter `index` (its ids, memory and LUID).
    virtual HRESULT AdapterDescription(IDXGIFactory* factory, UINT index, DXGI_ADAPTER_DESC& description) = 0;
    virtual void DisplayDevice(std::size_t index, DISPLAY_DEVICEA& device) = 0;
    // A new offscreen context on the device; throws on failure.
    virtual ZEB::OGL::Context* CreateOffscreenContext(const DISPLAY_DEVICEA& device) = 0;
};
