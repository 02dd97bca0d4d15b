#include "enumeration/EnumerationSystemWin.h"

#include "wmi/ComReference.h"

#include "zeb/core/system/SystemLibrary.h"
#include "zeb/ogl/ContextOffscreen.h"

HMODULE EnumerationSystemWin::LoadSystemLibrary(const std::string& fileName)
{
    return ZEB::Core::SystemLibrary::load(fileName.c_str());
}

FARPROC EnumerationSystemWin::ProcAddress(HMODULE module, const char* name) { return GetProcAddress(module, name); }

void EnumerationSystemWin::FreeLibrary(HMODULE module) { ::FreeLibrary(module); }

HRESULT EnumerationSystemWin::InitializeCOM() { return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

HRESULT EnumerationSystemWin::InitializeCOMSecurity()
{
    return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE,
                                nullptr, EOAC_NONE, nullptr);
}

HRESULT EnumerationSystemWin::CreateWbemLocator(IWbemLocator** locator)
{
    return CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IWbemLocator,
                            reinterpret_cast<void**>(locator));
}

void EnumerationSystemWin::UninitializeCOM() { CoUninitialize(); }

HRESULT EnumerationSystemWin::AdapterDescription(IDXGIFactory* factory, UINT index, DXGI_ADAPTER_DESC& description)
{
    ComReference<IDXGIAdapter> adapter;
    const HRESULT found = factory->EnumAdapters(index, adapter.receive());
    return FAILED(found) ? found : adapter->GetDesc(&description);
}

HRESULT EnumerationSystemWin::NextRow(IEnumWbemClassObject* enumerator, IWbemClassObject** row)
{
    ULONG returned = 0;
    return enumerator->Next(WBEM_INFINITE, 1, row, &returned);
}

void EnumerationSystemWin::DisplayDevice(std::size_t index, DISPLAY_DEVICEA& device)
{
    ZEB::OGL::Context::displayDevice(index, device);
}

ZEB::OGL::Context* EnumerationSystemWin::CreateOffscreenContext(const DISPLAY_DEVICEA& device)
{
    return new ZEB::OGL::ContextOffscreen(device);
}
