#include "WmiVideoControllers.h"

#include <stdexcept>

namespace testsupport {

namespace {

void Check(HRESULT result, const char* step)
{
    if (FAILED(result)) {
        throw std::runtime_error(std::string(step) + " failed: " + std::to_string(static_cast<unsigned long>(result)));
    }
}

// The interfaces of one query, released in reverse order of creation.
struct Query {
    IWbemLocator* locator = nullptr;
    IWbemServices* services = nullptr;
    IEnumWbemClassObject* rows = nullptr;
    ~Query()
    {
        if (rows != nullptr) rows->Release();
        if (services != nullptr) services->Release();
        if (locator != nullptr) locator->Release();
    }
};

void Run(const std::function<void(IWbemClassObject*)>& visit)
{
    Query query;
    Check(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                           reinterpret_cast<void**>(&query.locator)),
          "CoCreateInstance");
    BSTR wmiNamespace = SysAllocString(L"ROOT\\CIMV2");
    const HRESULT connected =
        query.locator->ConnectServer(wmiNamespace, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &query.services);
    SysFreeString(wmiNamespace);
    Check(connected, "ConnectServer");
    // Where WMI runs out of process, the proxy needs to impersonate us.
    CoSetProxyBlanket(query.services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);

    BSTR language = SysAllocString(L"WQL");
    BSTR text = SysAllocString(L"SELECT * FROM Win32_VideoController");
    const HRESULT queried = query.services->ExecQuery(
        language, text, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, &query.rows);
    SysFreeString(language);
    SysFreeString(text);
    Check(queried, "ExecQuery");

    for (;;) {
        IWbemClassObject* row = nullptr;
        ULONG returned = 0;
        Check(query.rows->Next(WBEM_INFINITE, 1, &row, &returned), "Next");
        if (returned == 0 || row == nullptr) {
            break;
        }
        try {
            visit(row);
        } catch (...) {
            row->Release();
            throw;
        }
        row->Release();
    }
}

} // namespace

void WmiVideoControllers::ForEach(const std::function<void(IWbemClassObject*)>& visit)
{
    Check(CoInitializeEx(nullptr, COINIT_MULTITHREADED), "CoInitializeEx");
    try {
        Run(visit);
    } catch (...) {
        CoUninitialize();
        throw;
    }
    CoUninitialize();
}

bool WmiVideoControllers::ReadText(IWbemClassObject* row, const wchar_t* name, std::wstring& text)
{
    VARIANT value;
    VariantInit(&value);
    const bool isText = SUCCEEDED(row->Get(name, 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR;
    if (isText) {
        text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    }
    VariantClear(&value);
    return isText;
}

bool WmiVideoControllers::ReadInt(IWbemClassObject* row, const wchar_t* name, LONG& number)
{
    VARIANT value;
    VariantInit(&value);
    const bool isInt = SUCCEEDED(row->Get(name, 0, &value, nullptr, nullptr)) && value.vt == VT_I4;
    if (isInt) {
        number = value.lVal;
    }
    VariantClear(&value);
    return isInt;
}

} // namespace testsupport
