#include "enumeration/GPUFactoryWin.h"

#include "wmi/BString.h"
#include "wmi/ComReference.h"
#include "enumeration/DynamicLibrary.h"
#include "enumeration/EnumerationSystem.h"
#include "enumeration/ListingSteps.h"
#include "gpu/GPUWin.h"
#include "wmi/WMIData.h"

#include "zeb/core/Library.h"
#include "zeb/ogl/Context.h"
#include "zeb/ogl/Library.h"

#include <d3d9.h>
#include <dxgi.h>

#include <stdexcept>

namespace {

typedef HRESULT(WINAPI* CreateDXGIFactoryFunction)(REFIID, void**);
typedef IDirect3D9*(WINAPI* Direct3DCreate9Function)(UINT);

const UINT kD3DSDKVersion = 32;
const DWORD kAttachedToDesktop = 0x1;

// COM for the length of the enumeration, on a single-threaded apartment.
class ComApartment {
public:
    explicit ComApartment(EnumerationSystem& system) : system_(system)
    {
        if (FAILED(system_.InitializeCOM())) {
            throw std::runtime_error("CoInitializeEx");
        }
    }
    ~ComApartment() { system_.UninitializeCOM(); }

private:
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    EnumerationSystem& system_;
};

// PCI identifiers of adapter `index`: DXGI first, Direct3D 9 for whatever DXGI
// left at 0. A value DXGI gave is never replaced. DXGI's dedicated memory and
// adapter LUID come along; they stay 0 without DXGI.
void ReadIdentifiers(EnumerationSystem& system, IDXGIFactory* factory, IDirect3D9* direct3D, UINT index,
                     std::uint32_t& vendorID, std::uint32_t& deviceID, std::uint64_t& dedicatedVideoMemory,
                     std::uint64_t& luid)
{
    DXGI_ADAPTER_DESC description = {};
    if (factory != nullptr && SUCCEEDED(system.AdapterDescription(factory, index, description))) {
        vendorID = description.VendorId;
        deviceID = description.DeviceId;
        dedicatedVideoMemory = description.DedicatedVideoMemory;
        luid = static_cast<std::uint64_t>(static_cast<std::uint32_t>(description.AdapterLuid.HighPart)) << 32 |
               description.AdapterLuid.LowPart;
    }
    if ((vendorID == 0 || deviceID == 0) && direct3D != nullptr) {
        D3DADAPTER_IDENTIFIER9 identifier = {};
        if (direct3D->GetAdapterIdentifier(index, 0, &identifier) == D3D_OK) {
            if (vendorID == 0) {
                vendorID = identifier.VendorId;
            }
            if (deviceID == 0) {
                deviceID = identifier.DeviceId;
            }
        }
    }
}

} // namespace

GPUList GPUFactoryWin::CreateGPUs()
{
    ZEB::Core::Library::initialize();
    {
        ZEB::OGL::Library::InitOptions options;
        ZEB::OGL::Library::initialize(options);
    }
    EnumerationSystem& system = EnumerationSystem::Current();

    // Declared in the order of acquisition, so that everything is released in
    // reverse, on success and on every failure alike.
    GPUList gpus;
    DynamicLibrary dxgiLibrary("DXGI.dll");
    DynamicLibrary d3d9Library("D3D9.dll");

    ComReference<IDXGIFactory> dxgiFactory;
    // DXGI is only asked on systems that have the Direct3D 9Ex runtime.
    if (d3d9Library.Lookup("Direct3DCreate9Ex") != nullptr) {
        const CreateDXGIFactoryFunction createFactory =
            reinterpret_cast<CreateDXGIFactoryFunction>(reinterpret_cast<void*>(dxgiLibrary.Lookup("CreateDXGIFactory")));
        if (createFactory != nullptr) {
            IDXGIFactory* created = nullptr;
            if (SUCCEEDED(createFactory(__uuidof(IDXGIFactory), reinterpret_cast<void**>(&created)))) {
                *dxgiFactory.receive() = created;
            } else if (created != nullptr) {
                created->Release();
            }
        }
    }

    ComReference<IDirect3D9> direct3D;
    const Direct3DCreate9Function create9 =
        reinterpret_cast<Direct3DCreate9Function>(reinterpret_cast<void*>(d3d9Library.Lookup("Direct3DCreate9")));
    if (create9 != nullptr) {
        *direct3D.receive() = create9(kD3DSDKVersion);
    }

    ComApartment apartment(system);
    // Security can be set once per process; an earlier enumeration (one that
    // found nothing is repeated) has already set the same values.
    const HRESULT security = system.InitializeCOMSecurity();
    if (FAILED(security) && security != RPC_E_TOO_LATE) {
        throw std::runtime_error("CoInitializeSecurity");
    }
    ComReference<IWbemLocator> locator;
    if (FAILED(system.CreateWbemLocator(locator.receive()))) {
        throw std::runtime_error("CoCreateInstance");
    }
    ComReference<IWbemServices> services;
    {
        const BString wmiNamespace(L"ROOT\\CIMV2");
        if (FAILED(locator->ConnectServer(wmiNamespace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                          services.receive()))) {
            throw std::runtime_error("pLoc->ConnectServer");
        }
    }
    ComReference<IEnumWbemClassObject> enumerator;
    {
        const BString language(L"WQL");
        const BString query(L"SELECT * FROM Win32_VideoController");
        if (FAILED(services->ExecQuery(language.get(), query.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                       nullptr, enumerator.receive()))) {
            throw std::runtime_error("pSvc->ExecQuery");
        }
    }

    // One record for the whole walk: a device past the last one reads as detached.
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof device;
    // Display devices an earlier probe lost to a driver fault: the rows after
    // them go on with the next device, as the rows of a machine without them.
    std::size_t skipped = 0;
    while (enumerator) {
        ComReference<IWbemClassObject> row;
        if (FAILED(system.NextRow(enumerator.get(), row.receive()))) {
            throw std::runtime_error("pEnumerator->Next");
        }
        if (!row) {
            break;
        }
        // A dropped row does not advance the index: the next row is matched
        // with the same adapter and display device.
        const std::size_t index = gpus.size() + skipped;
        const WMIData wmiData(row.get());
        if (!ListingSteps::Enter(index)) {
            ++skipped;
            continue;
        }

        std::uint32_t vendorID = 0;
        std::uint32_t deviceID = 0;
        std::uint64_t dedicatedVideoMemory = 0;
        std::uint64_t luid = 0;
        ReadIdentifiers(system, dxgiFactory.get(), direct3D.get(), static_cast<UINT>(index), vendorID, deviceID,
                        dedicatedVideoMemory, luid);

        system.DisplayDevice(index, device);
        if (device.StateFlags & kAttachedToDesktop) {
            boost::shared_ptr<ZEB::OGL::Context> context(system.CreateOffscreenContext(device));
            boost::shared_ptr<GPUWin> gpu(
                new GPUWin(context, vendorID, deviceID, dedicatedVideoMemory, wmiData, luid));
            gpus.push_back(gpu);
        }
    }
    return gpus;
}
