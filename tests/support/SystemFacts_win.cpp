#include "SystemFacts.h"

#include "ChildProcess.h"
#include "TestEnvironment.h"
#include "ToolRunner.h"

#include "wmi/ComReference.h"

#include <gtest/gtest.h>

#include <dxgi.h>
#include <wbemidl.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

namespace {

void Check(HRESULT result, const char* step)
{
    if (FAILED(result)) {
        throw std::runtime_error(std::string(step) + " failed");
    }
}

struct Bstr {
    explicit Bstr(const wchar_t* text) : value(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(value); }
    BSTR value;
};

std::string Ascii(IWbemClassObject* row, const wchar_t* name)
{
    std::string text;
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(row->Get(name, 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR) {
        for (UINT i = 0; i < SysStringLen(value.bstrVal); ++i) {
            const wchar_t c = value.bstrVal[i];
            text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
        }
    }
    VariantClear(&value);
    return text;
}

void PrintControllers(std::ostream& out)
{
    Check(CoInitializeEx(nullptr, COINIT_MULTITHREADED), "CoInitializeEx");
    {
        ComReference<IWbemLocator> locator;
        Check(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                               reinterpret_cast<void**>(locator.receive())),
              "CoCreateInstance");
        ComReference<IWbemServices> services;
        Check(locator->ConnectServer(Bstr(L"ROOT\\CIMV2").value, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                     services.receive()),
              "ConnectServer");
        ComReference<IEnumWbemClassObject> rows;
        Check(services->ExecQuery(Bstr(L"WQL").value, Bstr(L"SELECT * FROM Win32_VideoController").value,
                                  WBEM_FLAG_FORWARD_ONLY, nullptr, rows.receive()),
              "ExecQuery");
        ComReference<IWbemClassObject> row;
        ULONG returned = 0;
        while (SUCCEEDED(rows->Next(WBEM_INFINITE, 1, row.receive(), &returned)) && returned == 1) {
            VARIANT bytes;
            VariantInit(&bytes);
            const bool hasBytes = SUCCEEDED(row->Get(L"AdapterRAM", 0, &bytes, nullptr, nullptr)) && bytes.vt == VT_I4;
            out << "controller\t" << Ascii(row.get(), L"Caption") << '\t'
                << Ascii(row.get(), L"InstalledDisplayDrivers") << '\t' << Ascii(row.get(), L"DriverVersion") << '\t'
                << Ascii(row.get(), L"DriverDate") << '\t' << (hasBytes ? static_cast<ULONG>(bytes.lVal) : 0) << '\n';
        }
    }
    CoUninitialize();
}

void PrintAdapters(std::ostream& out)
{
    typedef HRESULT(WINAPI * CreateFactory)(REFIID, void**);
    const CreateFactory create = reinterpret_cast<CreateFactory>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("dxgi.dll"), "CreateDXGIFactory")));
    ComReference<IDXGIFactory> factory;
    Check(create(__uuidof(IDXGIFactory), reinterpret_cast<void**>(factory.receive())), "CreateDXGIFactory");
    ComReference<IDXGIAdapter> adapter;
    for (UINT i = 0; SUCCEEDED(factory->EnumAdapters(i, adapter.receive())); ++i) {
        DXGI_ADAPTER_DESC description = {};
        adapter->GetDesc(&description);
        out << "adapter\t" << description.VendorId << '\t' << description.DeviceId << '\t'
            << description.DedicatedVideoMemory << '\n';
    }
}

} // namespace

// Not a test of its own: the fact printer that FreshSystemFacts::Read runs in
// a child process of the test program that it is linked into.
TEST(SystemFactsProbe, Print)
{
    if (std::getenv("VEXILON_PRINT_SYSTEM_FACTS") == nullptr) {
        GTEST_SKIP() << "runs only as the fact printer of FreshSystemFacts::Read";
    }
    std::cout << "<facts>\n";
    PrintControllers(std::cout);
    PrintAdapters(std::cout);
    std::cout << "</facts>" << std::endl;
}

FreshSystemFacts FreshSystemFacts::Read()
{
    const ProcessResult result =
        ChildProcess::Run(TestEnvironment::CurrentProgram(), {"--gtest_filter=SystemFactsProbe.Print"},
                          std::string(), {{"VEXILON_PRINT_SYSTEM_FACTS", "1"}}, 120000);
    const std::string::size_type start = result.out.find("<facts>\r\n");
    const std::string::size_type end = result.out.find("</facts>");
    if (start == std::string::npos || end == std::string::npos) {
        throw std::runtime_error("the fact printer wrote no facts:\n" + result.out + result.err);
    }
    FreshSystemFacts facts;
    for (const std::string& line : SplitTextModeLines(result.out.substr(start + 9, end - start - 9))) {
        std::vector<std::string> f;
        std::istringstream columns(line);
        for (std::string field; std::getline(columns, field, '\t');) {
            f.push_back(field);
        }
        f.resize(6);
        if (f[0] == "controller") {
            facts.controllers.push_back({f[1], f[2], f[3], f[4], static_cast<std::uint32_t>(std::stoul(f[5]))});
        } else if (f[0] == "adapter") {
            facts.adapters.push_back({static_cast<std::uint32_t>(std::stoul(f[1])),
                                      static_cast<std::uint32_t>(std::stoul(f[2])), std::stoull(f[3])});
        }
    }
    return facts;
}

} // namespace testsupport
