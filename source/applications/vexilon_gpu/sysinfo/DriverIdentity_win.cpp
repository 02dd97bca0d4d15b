#include "sysinfo/DriverIdentity.h"

#include "wmi/BString.h"
#include "wmi/ComReference.h"
#include "wmi/WMIData.h"

#include <windows.h>
#include <wbemidl.h>

#include <vector>

namespace {

// "<major>.<minor>.<build>.<revision>" of the file's version resource; empty without one.
std::string FileVersion(const std::string& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> resource(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, resource.data()) ||
        !VerQueryValueA(resource.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return std::string();
    }
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

// The vendors' runtimes that the Khronos loader reads from the registry.
std::vector<std::string> RegisteredOpenCLVendors()
{
    std::vector<std::string> libraries;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Khronos\\OpenCL\\Vendors", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return libraries;
    }
    char name[MAX_PATH];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        libraries.push_back(std::string(name, length));
    }
    RegCloseKey(key);
    return libraries;
}

// Each video controller's driver version and date, as WMI reports them.
std::string DisplayDrivers()
{
    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::string drivers;
    {
        ComReference<IWbemLocator> locator;
        ComReference<IWbemServices> services;
        ComReference<IEnumWbemClassObject> rows;
        const BString wmiNamespace(L"root\\cimv2");
        const BString language(L"WQL");
        const BString query(L"SELECT DriverVersion, DriverDate FROM Win32_VideoController");
        if (SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                       reinterpret_cast<void**>(locator.receive()))) &&
            SUCCEEDED(locator->ConnectServer(wmiNamespace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                             services.receive())) &&
            SUCCEEDED(services->ExecQuery(language.get(), query.get(),
                                          WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                          rows.receive())) &&
            rows) {
            for (;;) {
                ComReference<IWbemClassObject> row;
                ULONG returned = 0;
                rows->Next(WBEM_INFINITE, 1, row.receive(), &returned);
                if (returned == 0 || !row) {
                    break;
                }
                const WMIData data(row.get());
                drivers += "; display driver " + data.DriverVersion() + " " + data.DriverDate();
            }
        }
    }
    if (SUCCEEDED(initialized)) {
        CoUninitialize();
    }
    return drivers;
}

// A library of the system directory, as the loaders find it.
std::string SystemLibrary(const char* name)
{
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder, length < MAX_PATH ? length : 0) + "\\" + name;
}

// "<file> version <version resource>; " for each library.
std::string VersionedFiles(const std::vector<std::string>& libraries)
{
    std::string identity;
    for (const std::string& library : libraries) {
        identity += DriverIdentity::Files({library}) + " version " + FileVersion(library) + "; ";
    }
    return identity;
}

} // namespace

std::string DriverIdentity::OpenCL()
{
    std::vector<std::string> libraries{SystemLibrary("OpenCL.dll")};
    const std::vector<std::string> vendors = RegisteredOpenCLVendors();
    libraries.insert(libraries.end(), vendors.begin(), vendors.end());
    return VersionedFiles(libraries) + DisplayDrivers();
}

std::string DriverIdentity::OpenGL() { return DisplayDrivers(); }

std::string DriverIdentity::Vulkan()
{
    return VersionedFiles({SystemLibrary("vulkan-1.dll")}) + DisplayDrivers();
}
