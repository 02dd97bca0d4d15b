#include "FakeEnumerationSystem.h"

#include "zeb/ogl/Context.h"

#include <cstdio>
#include <stdexcept>

namespace testsupport {

FakeEnumerationSystem* FakeEnumerationSystem::active = nullptr;

namespace {

HRESULT WINAPI FakeCreateDXGIFactory(REFIID, void** factory)
{
    FakeEnumerationSystem& system = *FakeEnumerationSystem::active;
    *factory = nullptr;
    if (FAILED(system.createFactoryResult)) {
        return system.createFactoryResult;
    }
    *factory = system.dxgiFactory.HandOut();
    return S_OK;
}

IDirect3D9* WINAPI FakeDirect3DCreate9(UINT version)
{
    FakeEnumerationSystem& system = *FakeEnumerationSystem::active;
    system.journal.push_back("Direct3DCreate9 " + std::to_string(version));
    return system.direct3DCreateReturnsNull ? nullptr : system.direct3D.HandOut();
}

HRESULT WINAPI FakeDirect3DCreate9Ex(UINT, void**)
{
    FakeEnumerationSystem::active->journal.push_back("Direct3DCreate9Ex called");
    return E_NOTIMPL;
}

// A context that only notes its life.
class FakeContext : public ZEB::OGL::Context {
public:
    FakeContext(FakeEnumerationSystem& system, const std::string& device) : system_(system), device_(device)
    {
        ++system_.liveContexts;
        system_.journal.push_back("context " + device_);
    }
    ~FakeContext() override
    {
        --system_.liveContexts;
        system_.journal.push_back("destroy context " + device_);
    }
    void makeCurrent() const override {}

private:
    FakeEnumerationSystem& system_;
    std::string device_;
};

} // namespace

FakeEnumerationSystem::FakeEnumerationSystem()
    : dxgiFactory(&journal), direct3D(&journal), locator(&journal)
{
    libraries["DXGI.dll"] = {"CreateDXGIFactory"};
    libraries["D3D9.dll"] = {"Direct3DCreate9", "Direct3DCreate9Ex"};
    active = this;
    EnumerationSystem::InstallReplacement(this);
}

FakeEnumerationSystem::~FakeEnumerationSystem()
{
    EnumerationSystem::InstallReplacement(nullptr);
    active = nullptr;
}

FakeWbemClassObject& FakeEnumerationSystem::addRow(const std::wstring& caption, LONG adapterRAM)
{
    rows_.emplace_back(new FakeWbemClassObject("row " + std::to_string(rows_.size()), &journal));
    FakeWbemClassObject& row = *rows_.back();
    row.setText(L"Caption", caption);
    row.setInt(L"AdapterRAM", adapterRAM);
    locator.services.enumerator.rows.push_back(&row);
    return row;
}

std::vector<std::string> FakeEnumerationSystem::entries(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const std::string& entry : journal) {
        if (entry.compare(0, prefix.size(), prefix) == 0) {
            found.push_back(entry);
        }
    }
    return found;
}

HMODULE FakeEnumerationSystem::LoadSystemLibrary(const std::string& fileName)
{
    journal.push_back("load " + fileName);
    if (libraries.count(fileName) == 0) {
        return nullptr;
    }
    loaded_.push_back(fileName);
    return reinterpret_cast<HMODULE>(loaded_.size());
}

FARPROC FakeEnumerationSystem::ProcAddress(HMODULE module, const char* name)
{
    const std::string& library = loaded_.at(reinterpret_cast<std::size_t>(module) - 1);
    if (libraries[library].count(name) == 0) {
        return nullptr;
    }
    const std::string function(name);
    if (function == "CreateDXGIFactory") {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeCreateDXGIFactory));
    }
    if (function == "Direct3DCreate9") {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeDirect3DCreate9));
    }
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeDirect3DCreate9Ex));
}

void FakeEnumerationSystem::FreeLibrary(HMODULE module)
{
    journal.push_back("free " + loaded_.at(reinterpret_cast<std::size_t>(module) - 1));
}

HRESULT FakeEnumerationSystem::InitializeCOM()
{
    journal.push_back("CoInitializeEx");
    return comResult;
}

HRESULT FakeEnumerationSystem::InitializeCOMSecurity() { return securityResult; }

HRESULT FakeEnumerationSystem::CreateWbemLocator(IWbemLocator** result)
{
    *result = nullptr;
    if (FAILED(locatorResult)) {
        return locatorResult;
    }
    *result = locator.HandOut();
    return S_OK;
}

void FakeEnumerationSystem::UninitializeCOM() { journal.push_back("CoUninitialize"); }

void FakeEnumerationSystem::DisplayDevice(std::size_t index, DISPLAY_DEVICEA& device)
{
    journal.push_back("display " + std::to_string(index));
    device.StateFlags = index < displays.size() ? displays[index] : 0;
    std::snprintf(device.DeviceName, sizeof device.DeviceName, "\\\\.\\DISPLAY%u", static_cast<unsigned>(index + 1));
}

ZEB::OGL::Context* FakeEnumerationSystem::CreateOffscreenContext(const DISPLAY_DEVICEA& device)
{
    const std::string name = device.DeviceName;
    if (name == "\\\\.\\DISPLAY" + std::to_string(contextFailsAt + 1)) {
        throw std::runtime_error("wglCreateContext failed");
    }
    return new FakeContext(*this, name);
}

} // namespace testsupport
