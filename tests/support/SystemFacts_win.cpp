#include "SystemFacts.h"

#include "WmiVideoControllers.h"

#include "sysinfo/ComReference.h"

#include <windows.h>
#include <dxgi.h>

namespace testsupport {

namespace {

std::string Ascii(IWbemClassObject* row, const wchar_t* name)
{
    std::wstring wide;
    std::string text;
    if (WmiVideoControllers::ReadText(row, name, wide)) {
        for (wchar_t c : wide) {
            text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
        }
    }
    return text;
}

} // namespace

std::vector<VideoControllerFacts> SystemFacts::VideoControllers()
{
    std::vector<VideoControllerFacts> controllers;
    WmiVideoControllers::ForEach([&controllers](IWbemClassObject* row) {
        VideoControllerFacts facts;
        facts.caption = Ascii(row, L"Caption");
        facts.installedDisplayDrivers = Ascii(row, L"InstalledDisplayDrivers");
        facts.driverVersion = Ascii(row, L"DriverVersion");
        facts.driverDate = Ascii(row, L"DriverDate");
        LONG bytes = 0;
        if (WmiVideoControllers::ReadInt(row, L"AdapterRAM", bytes)) {
            facts.adapterRAM = static_cast<std::uint32_t>(bytes);
        }
        controllers.push_back(facts);
    });
    return controllers;
}

std::vector<AdapterIdentifiers> SystemFacts::DXGIAdapters()
{
    std::vector<AdapterIdentifiers> adapters;
    HMODULE dxgi = LoadLibraryA("dxgi.dll");
    if (dxgi == nullptr) {
        return adapters;
    }
    typedef HRESULT(WINAPI * CreateFactory)(REFIID, void**);
    const CreateFactory create =
        reinterpret_cast<CreateFactory>(reinterpret_cast<void*>(GetProcAddress(dxgi, "CreateDXGIFactory")));
    {
        ComReference<IDXGIFactory> factory;
        if (create != nullptr &&
            SUCCEEDED(create(__uuidof(IDXGIFactory), reinterpret_cast<void**>(factory.receive())))) {
            ComReference<IDXGIAdapter> adapter;
            for (UINT i = 0; SUCCEEDED(factory->EnumAdapters(i, adapter.receive())); ++i) {
                DXGI_ADAPTER_DESC description = {};
                adapter->GetDesc(&description);
                adapters.push_back({description.VendorId, description.DeviceId, description.DedicatedVideoMemory});
            }
        }
    }
    FreeLibrary(dxgi);
    return adapters;
}

std::size_t SystemFacts::AttachedDisplayDevices()
{
    std::size_t attached = 0;
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof device;
    for (DWORD i = 0; EnumDisplayDevicesA(nullptr, i, &device, 0); ++i) {
        if (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) {
            ++attached;
        }
    }
    return attached;
}

} // namespace testsupport
