#include "sysinfo/VideoControllerListing.h"

#include "wmi/BString.h"
#include "wmi/ComReference.h"
#include "wmi/EscapeWideString.h"
#include "wmi/ScopedVariant.h"

#include <wbemidl.h>

#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// The 32-bit pattern in lower-case hexadecimal; leaves the stream's own base alone.
std::string Hex(HRESULT code)
{
    std::ostringstream text;
    text << std::hex << static_cast<std::uint32_t>(code);
    return text.str();
}

} // namespace

VideoControllerListing::ComLibrary VideoControllerListing::SystemComLibrary()
{
    return ComLibrary{&::CoInitializeEx, &::CoInitializeSecurity, &::CoCreateInstance, &::CoUninitialize};
}

VideoControllerListing::VideoControllerListing(const ComLibrary& com, std::ostream& out) : com_(com), out_(out) {}

void VideoControllerListing::WriteError(const char* message, HRESULT code)
{
    out_ << message << Hex(code) << std::endl;
}

int VideoControllerListing::Print()
{
    const HRESULT initialized = com_.initialize(nullptr, COINIT_MULTITHREADED);
    if (FAILED(initialized)) {
        WriteError("Failed to initialize COM library. Error code = 0x", initialized);
        return 1;
    }
    int result = 1;
    try {
        result = PrintWithComInitialized();
    } catch (...) {
        com_.uninitialize();
        throw;
    }
    com_.uninitialize();
    return result;
}

// Every interface is released before COM is uninitialised by the caller.
int VideoControllerListing::PrintWithComInitialized()
{
    HRESULT hr = com_.initializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (FAILED(hr)) {
        WriteError("Failed to initialize security. Error code = 0x", hr);
        return 1;
    }

    ComReference<IWbemLocator> locator;
    hr = com_.createInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                             IID_IWbemLocator, reinterpret_cast<void**>(locator.receive()));
    if (FAILED(hr)) {
        WriteError("Failed to create IWbemLocator object. Err code = 0x", hr);
        return 1;
    }

    ComReference<IWbemServices> services;
    const BString wmiNamespace(L"root\\cimv2");
    hr = locator->ConnectServer(wmiNamespace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                services.receive());
    if (FAILED(hr)) {
        WriteError("Could not connect. Error code = 0x", hr);
        locator.reset();
        return 1;
    }

    ComReference<IEnumWbemClassObject> enumerator;
    const BString language(L"WQL");
    const BString query(L"SELECT * FROM Win32_VideoController");
    hr = services->ExecQuery(language.get(), query.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                             nullptr, enumerator.receive());
    if (FAILED(hr)) {
        WriteError("Query for video controllers failed. Error code = 0x", hr);
        services.reset();
        locator.reset();
        return 1;
    }

    // A query that succeeds without an enumerator has no rows to list.
    const bool listed = !enumerator || ListRows(enumerator.get());
    services.reset();
    locator.reset();
    enumerator.reset();
    return listed ? 0 : 1;
}

bool VideoControllerListing::ListRows(IEnumWbemClassObject* enumerator)
{
    enumerator->Reset();
    for (;;) {
        // Only the count tells whether a row came; the call's own result does not.
        ComReference<IWbemClassObject> row;
        ULONG returned = 0;
        enumerator->Next(WBEM_INFINITE, 1, row.receive(), &returned);
        if (returned == 0 || !row) {
            return true;
        }

        ScopedVariant memory;
        ScopedVariant caption;
        {
            const BString name(L"AdapterRAM");
            row->Get(name.get(), 0, memory.get(), nullptr, nullptr);
        }
        HRESULT captionRead;
        {
            const BString name(L"Caption");
            captionRead = row->Get(name.get(), 0, caption.get(), nullptr, nullptr);
        }
        row.reset();
        if (FAILED(captionRead)) {
            WriteError("Query adapter ram failed. Error code = 0x ", captionRead);
            return false;
        }

        const std::string captionText = caption.type() == VT_BSTR ? EscapeWideString(caption.value().bstrVal) : "";
        const unsigned int bytes = memory.type() == VT_I4 ? static_cast<unsigned int>(memory.value().lVal) : 0u;
        out_ << "Device: " << captionText << " has video RAM(MB): " << std::to_string(bytes >> 20) << std::endl;
    }
}

int PrintVideoControllers()
{
    VideoControllerListing listing(VideoControllerListing::SystemComLibrary(), std::cout);
    return listing.Print();
}
