#include "gpu/GPUFactoryWin.h"

#include "FakeEnumerationSystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using testsupport::FakeEnumerationSystem;
using ::testing::ElementsAre;

namespace {

// The factory under test, with its protected enumeration opened up.
class TestedFactory : public GPUFactoryWin {
public:
    GPUList Enumerate() { return CreateGPUs(); }
};

// A machine with `rows` controllers, every display device attached, and
// adapters that DXGI knows.
void Populate(FakeEnumerationSystem& system, int rows)
{
    for (int i = 0; i < rows; ++i) {
        system.addRow(L"gpu " + std::to_wstring(i), 0).setText(L"DriverVersion", L"31.0.15.3623");
        system.dxgiFactory.addAdapter(0x10DE, 0x1180 + i, SIZE_T(8) << 30);
        system.displays.push_back(DISPLAY_DEVICE_ATTACHED_TO_DESKTOP);
    }
}

// What happens after the row loop, in the order it must happen.
const std::vector<std::string> kReleaseSequence = {"release enumerator", "release services", "release locator",
                                                   "CoUninitialize",     "release direct3d9", "release dxgi factory",
                                                   "free D3D9.dll",      "free DXGI.dll"};

std::vector<std::string> Tail(const std::vector<std::string>& entries, std::size_t count)
{
    return std::vector<std::string>(entries.end() - std::min(count, entries.size()), entries.end());
}

std::string RunExpectingFailure(TestedFactory& factory)
{
    try {
        factory.Enumerate();
    } catch (const std::runtime_error& failure) {
        return failure.what();
    }
    return "no exception";
}

} // namespace

TEST(GPUFactoryWin, EnumeratesAttachedDevicesAndReleasesInOrder)
{
    FakeEnumerationSystem system;
    system.addRow(L"GeForce", 1610612736).setText(L"DriverVersion", L"31.0.15.3623");
    system.addRow(L"Radeon", -1);
    system.dxgiFactory.addAdapter(0x10DE, 0x1180);
    system.dxgiFactory.addAdapter(0x1002, 0x6798);
    system.displays = {DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE,
                       DISPLAY_DEVICE_ATTACHED_TO_DESKTOP};

    TestedFactory factory;
    GPUList gpus = factory.Enumerate();
    ASSERT_EQ(2u, gpus.size());
    EXPECT_EQ(0x10DEu, gpus[0]->VendorID());
    EXPECT_EQ(0x1180u, gpus[0]->RendererID());
    EXPECT_EQ("GeForce", gpus[0]->Caption());
    EXPECT_EQ("31.0.15.3623", gpus[0]->DriverVersion());
    EXPECT_EQ(0x1002u, gpus[1]->VendorID());
    EXPECT_EQ(0x6798u, gpus[1]->RendererID());
    EXPECT_EQ("Radeon", gpus[1]->Caption());

    EXPECT_EQ(L"ROOT\\CIMV2", system.locator.wmiNamespace);
    EXPECT_EQ(L"WQL", system.locator.services.language);
    EXPECT_EQ(L"SELECT * FROM Win32_VideoController", system.locator.services.query);
    EXPECT_EQ(kReleaseSequence, Tail(system.journal, kReleaseSequence.size()));
    EXPECT_THAT(system.entries("release row"), ElementsAre("release row 0", "release row 1"));
    EXPECT_THAT(system.entries("release dxgi adapter"), ElementsAre("release dxgi adapter 0", "release dxgi adapter 1"));
    EXPECT_TRUE(system.entries("over-release").empty());

    // The GPUs are the contexts' last owners.
    EXPECT_EQ(2, system.liveContexts);
    gpus.clear();
    EXPECT_EQ(0, system.liveContexts);
}

TEST(GPUFactoryWin, DroppedRowDoesNotAdvanceTheIndex)
{
    FakeEnumerationSystem system;
    Populate(system, 3);
    system.displays = {DISPLAY_DEVICE_ATTACHED_TO_DESKTOP, 0};

    TestedFactory factory;
    const GPUList gpus = factory.Enumerate();
    ASSERT_EQ(1u, gpus.size());
    EXPECT_EQ("gpu 0", gpus[0]->Caption());
    // Rows two and three are both matched with display device 1, which is detached.
    EXPECT_THAT(system.entries("display"), ElementsAre("display 0", "display 1", "display 1"));
    EXPECT_THAT(system.entries("context"), ElementsAre("context \\\\.\\DISPLAY1"));
}

TEST(GPUFactoryWin, DeviceIdentifierMissingFromDXGIComesFromDirect3D9)
{
    FakeEnumerationSystem system;
    system.addRow(L"gpu", 0);
    system.dxgiFactory.addAdapter(0x10DE, 0);
    system.direct3D.identifiers = {{0x1002, 0x0DE1, D3D_OK}};
    system.displays = {DISPLAY_DEVICE_ATTACHED_TO_DESKTOP};

    TestedFactory factory;
    const GPUList gpus = factory.Enumerate();
    ASSERT_EQ(1u, gpus.size());
    EXPECT_EQ(0x10DEu, gpus[0]->VendorID());  // never replaced
    EXPECT_EQ(0x0DE1u, gpus[0]->RendererID());
}

TEST(GPUFactoryWin, WithoutDirect3D9ExDXGIIsNeverTried)
{
    FakeEnumerationSystem system;
    Populate(system, 1);
    system.libraries["D3D9.dll"] = {"Direct3DCreate9"};
    system.direct3D.identifiers = {{0x8086, 0x0166, D3D_OK}};

    TestedFactory factory;
    const GPUList gpus = factory.Enumerate();
    ASSERT_EQ(1u, gpus.size());
    EXPECT_EQ(0x8086u, gpus[0]->VendorID());
    EXPECT_EQ(0x0166u, gpus[0]->RendererID());
    EXPECT_EQ(0u, gpus[0]->MemoryMB());  // WMI's 0: the DXGI adapter's memory was never read
    EXPECT_TRUE(system.entries("load DXGI").empty());
}

TEST(GPUFactoryWin, MemoryIsTheLargerOfWMIAndTheMatchedDXGIAdapter)
{
    FakeEnumerationSystem system;
    system.addRow(L"a", -1);
    system.addRow(L"b", 1073741824);
    system.dxgiFactory.addAdapter(0x8086, 0x0166, SIZE_T(16) << 30);
    system.dxgiFactory.addAdapter(0x8086, 0x0412, SIZE_T(512) << 20);
    system.displays = {DISPLAY_DEVICE_ATTACHED_TO_DESKTOP, DISPLAY_DEVICE_ATTACHED_TO_DESKTOP};

    TestedFactory factory;
    const GPUList gpus = factory.Enumerate();
    ASSERT_EQ(2u, gpus.size());
    EXPECT_EQ(16384u, gpus[0]->MemoryMB());
    EXPECT_EQ(1024u, gpus[1]->MemoryMB());
}

TEST(GPUFactoryWin, NoSourceOfIdentifiersStillGivesAGPU)
{
    FakeEnumerationSystem system;
    system.libraries.clear();  // neither DXGI.dll nor D3D9.dll loads
    system.addRow(L"gpu", 268435456);
    system.displays = {DISPLAY_DEVICE_ATTACHED_TO_DESKTOP};

    TestedFactory factory;
    const GPUList gpus = factory.Enumerate();
    ASSERT_EQ(1u, gpus.size());
    EXPECT_EQ(0u, gpus[0]->VendorID());
    EXPECT_EQ(0u, gpus[0]->RendererID());
    // With no vendor to ask, the memory comes from WMI without touching the GL.
    EXPECT_EQ(256u, gpus[0]->MemoryMB());
    // Each failed load is tried again at the next lookup, and nothing is freed.
    EXPECT_THAT(system.entries("load"), ElementsAre("load D3D9.dll", "load D3D9.dll"));
    EXPECT_TRUE(system.entries("free").empty());
}

TEST(GPUFactoryWin, FailingIdentifierSourcesAreSkippedSilently)
{
    FakeEnumerationSystem system;
    Populate(system, 1);
    system.createFactoryResult = E_FAIL;
    system.direct3D.identifiers = {{0x1002, 0x6798, D3DERR_INVALIDCALL}};

    TestedFactory factory;
    const GPUList gpus = factory.Enumerate();
    ASSERT_EQ(1u, gpus.size());
    EXPECT_EQ(0u, gpus[0]->VendorID());
    EXPECT_EQ(0u, gpus[0]->RendererID());
    EXPECT_THAT(Tail(system.journal, 3), ElementsAre("release direct3d9", "free D3D9.dll", "free DXGI.dll"));
}

TEST(GPUFactoryWin, NoRowsGiveAnEmptyList)
{
    FakeEnumerationSystem system;
    TestedFactory factory;
    EXPECT_TRUE(factory.Enumerate().empty());
    EXPECT_EQ(kReleaseSequence, Tail(system.journal, kReleaseSequence.size()));
}

TEST(GPUFactoryWin, SecuritySetEarlierInTheProcessIsNoFailure)
{
    FakeEnumerationSystem system;
    Populate(system, 1);
    system.securityResult = RPC_E_TOO_LATE;
    TestedFactory factory;
    EXPECT_EQ(1u, factory.Enumerate().size());
}

TEST(GPUFactoryWin, EachFailingCOMStepThrowsItsNameAndReleasesWhatWasAcquired)
{
    const std::vector<std::string> afterCOM = {"release direct3d9", "release dxgi factory", "free D3D9.dll",
                                               "free DXGI.dll"};
    const auto with = [&afterCOM](std::vector<std::string> first) {
        first.insert(first.end(), afterCOM.begin(), afterCOM.end());
        return first;
    };
    struct Case {
        const char* text;
        std::function<void(FakeEnumerationSystem&)> arrange;
        std::vector<std::string> releases;
    };
    const std::vector<Case> cases = {
        {"CoInitializeEx", [](FakeEnumerationSystem& s) { s.comResult = E_OUTOFMEMORY; }, with({"CoInitializeEx"})},
        {"CoInitializeSecurity", [](FakeEnumerationSystem& s) { s.securityResult = E_ACCESSDENIED; },
         with({"CoUninitialize"})},
        {"CoCreateInstance", [](FakeEnumerationSystem& s) { s.locatorResult = REGDB_E_CLASSNOTREG; },
         with({"CoUninitialize"})},
        {"pLoc->ConnectServer", [](FakeEnumerationSystem& s) { s.locator.connectResult = WBEM_E_INVALID_NAMESPACE; },
         with({"release locator", "CoUninitialize"})},
        {"pSvc->ExecQuery",
         [](FakeEnumerationSystem& s) { s.locator.services.queryResult = WBEM_E_INVALID_QUERY; },
         with({"release services", "release locator", "CoUninitialize"})},
        {"pEnumerator->Next", [](FakeEnumerationSystem& s) { s.locator.services.enumerator.failingCall = 1; },
         with({"release enumerator", "release services", "release locator", "CoUninitialize"})},
    };
    for (const Case& failure : cases) {
        FakeEnumerationSystem system;
        Populate(system, 2);
        failure.arrange(system);

        TestedFactory factory;
        EXPECT_EQ(failure.text, RunExpectingFailure(factory));
        std::vector<std::string> expected = failure.releases;
        if (std::string(failure.text) == "pEnumerator->Next") {
            // The GPU of the first row dies with the partly built list, last.
            expected.push_back("destroy context \\\\.\\DISPLAY1");
        }
        EXPECT_EQ(expected, Tail(system.journal, expected.size())) << failure.text;
        EXPECT_EQ(0, system.liveContexts) << failure.text;
        EXPECT_TRUE(system.entries("over-release").empty()) << failure.text;
        EXPECT_EQ(0u, system.locator.references()) << failure.text;
        EXPECT_EQ(0u, system.direct3D.references()) << failure.text;
        EXPECT_EQ(0u, system.dxgiFactory.references()) << failure.text;
    }
}

TEST(GPUFactoryWin, FailingContextDestroysThePartlyBuiltList)
{
    FakeEnumerationSystem system;
    Populate(system, 2);
    system.contextFailsAt = 1;

    TestedFactory factory;
    EXPECT_EQ("wglCreateContext failed", RunExpectingFailure(factory));
    EXPECT_EQ(0, system.liveContexts);
    const std::vector<std::string> expected = {
        "release row 1",     "release enumerator",   "release services", "release locator", "CoUninitialize",
        "release direct3d9", "release dxgi factory", "free D3D9.dll",    "free DXGI.dll",
        "destroy context \\\\.\\DISPLAY1"};
    EXPECT_EQ(expected, Tail(system.journal, expected.size()));
}
