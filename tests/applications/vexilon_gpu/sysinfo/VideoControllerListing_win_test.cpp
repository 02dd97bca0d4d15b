#include "sysinfo/VideoControllerListing.h"

#include "FakeWbemLocator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <sstream>

using testsupport::ComJournal;
using testsupport::FakeWbemClassObject;
using testsupport::FakeWbemLocator;
using ::testing::ElementsAre;

namespace {

// COM as the listing sees it: the four library calls and the locator they lead to.
struct FakeCom {
    ComJournal journal;
    FakeWbemLocator locator{&journal};
    HRESULT initializeResult = S_OK;
    HRESULT securityResult = S_OK;
    HRESULT createResult = S_OK;
};

FakeCom* g_com = nullptr;

HRESULT WINAPI FakeInitialize(LPVOID, DWORD model)
{
    g_com->journal.push_back("CoInitializeEx " + std::to_string(model));
    return g_com->initializeResult;
}

HRESULT WINAPI FakeInitializeSecurity(PSECURITY_DESCRIPTOR, LONG, SOLE_AUTHENTICATION_SERVICE*, void*, DWORD,
                                      DWORD impersonation, void*, DWORD, void*)
{
    g_com->journal.push_back("CoInitializeSecurity " + std::to_string(impersonation));
    return g_com->securityResult;
}

HRESULT WINAPI FakeCreateInstance(REFCLSID type, LPUNKNOWN, DWORD, REFIID interfaceId, LPVOID* object)
{
    *object = nullptr;
    if (FAILED(g_com->createResult)) {
        return g_com->createResult;
    }
    if (type != CLSID_WbemLocator || interfaceId != IID_IWbemLocator) {
        return REGDB_E_CLASSNOTREG;
    }
    *object = g_com->locator.HandOut();
    return S_OK;
}

void WINAPI FakeUninitialize() { g_com->journal.push_back("CoUninitialize"); }

class VideoControllerListingTest : public ::testing::Test {
protected:
    VideoControllerListingTest() { g_com = &com_; }
    ~VideoControllerListingTest() override { g_com = nullptr; }

    void TearDown() override
    {
        // Whatever the outcome, nothing stays referenced.
        EXPECT_EQ(0u, com_.locator.references());
        EXPECT_EQ(0u, com_.locator.services.references());
        EXPECT_EQ(0u, com_.locator.services.enumerator.references());
        for (const FakeWbemClassObject& row : rows_) {
            EXPECT_EQ(0u, row.references());
        }
    }

    FakeWbemClassObject& AddRow(const std::wstring& caption, LONG adapterRAM)
    {
        rows_.emplace_back();
        rows_.back().setText(L"Caption", caption);
        rows_.back().setInt(L"AdapterRAM", adapterRAM);
        com_.locator.services.enumerator.rows.push_back(&rows_.back());
        return rows_.back();
    }

    int Print()
    {
        const VideoControllerListing::ComLibrary fake = {&FakeInitialize, &FakeInitializeSecurity,
                                                         &FakeCreateInstance, &FakeUninitialize};
        VideoControllerListing listing(fake, out_);
        return listing.Print();
    }

    FakeCom com_;
    std::deque<FakeWbemClassObject> rows_;
    std::ostringstream out_;
};

} // namespace

TEST_F(VideoControllerListingTest, WritesOneLinePerControllerInTheOrderOfTheRows)
{
    AddRow(L"NVIDIA GeForce GTX 580", 1610612736);
    AddRow(L"Radeon\u2122 8 GB", -1);
    AddRow(L"No memory size", 0).setNull(L"AdapterRAM");
    AddRow(L"Unreadable memory size", 0).setFailure(L"AdapterRAM", WBEM_E_FAILED);
    AddRow(L"", 1048575).setNull(L"Caption");

    EXPECT_EQ(0, Print());
    EXPECT_EQ("Device: NVIDIA GeForce GTX 580 has video RAM(MB): 1536\n"
              "Device: Radeon\\x2122 8 GB has video RAM(MB): 4095\n"
              "Device: No memory size has video RAM(MB): 0\n"
              "Device: Unreadable memory size has video RAM(MB): 0\n"
              "Device:  has video RAM(MB): 0\n",
              out_.str());
    EXPECT_EQ(L"root\\cimv2", com_.locator.wmiNamespace);
    EXPECT_EQ(L"WQL", com_.locator.services.language);
    EXPECT_EQ(L"SELECT * FROM Win32_VideoController", com_.locator.services.query);
    EXPECT_THAT(com_.journal, ElementsAre("CoInitializeEx 0", "CoInitializeSecurity 3", "release services",
                                          "release locator", "release enumerator", "CoUninitialize"));
}

TEST_F(VideoControllerListingTest, NoRowsIsASuccessWithoutOutput)
{
    EXPECT_EQ(0, Print());
    EXPECT_EQ("", out_.str());
    EXPECT_EQ("CoUninitialize", com_.journal.back());
}

TEST_F(VideoControllerListingTest, FailedCaptionReadEndsTheListing)
{
    AddRow(L"First", 268435456);
    AddRow(L"Second", 268435456).setFailure(L"Caption", WBEM_E_NOT_FOUND);
    AddRow(L"Third", 268435456);

    EXPECT_EQ(1, Print());
    EXPECT_EQ("Device: First has video RAM(MB): 256\n"
              "Query adapter ram failed. Error code = 0x 80041002\n",
              out_.str());
    EXPECT_THAT(com_.journal, ElementsAre("CoInitializeEx 0", "CoInitializeSecurity 3", "release services",
                                          "release locator", "release enumerator", "CoUninitialize"));
}

TEST_F(VideoControllerListingTest, FailedInitializationLeavesCOMAlone)
{
    com_.initializeResult = RPC_E_CHANGED_MODE;
    EXPECT_EQ(1, Print());
    EXPECT_EQ("Failed to initialize COM library. Error code = 0x80010106\n", out_.str());
    EXPECT_THAT(com_.journal, ElementsAre("CoInitializeEx 0"));
}

TEST_F(VideoControllerListingTest, FailedSecurityOrLocatorUninitializesCOM)
{
    com_.securityResult = RPC_E_TOO_LATE;
    EXPECT_EQ(1, Print());
    EXPECT_EQ("Failed to initialize security. Error code = 0x80010119\n", out_.str());
    EXPECT_THAT(com_.journal, ElementsAre("CoInitializeEx 0", "CoInitializeSecurity 3", "CoUninitialize"));

    com_.journal.clear();
    out_.str("");
    com_.securityResult = S_OK;
    com_.createResult = REGDB_E_CLASSNOTREG;
    EXPECT_EQ(1, Print());
    EXPECT_EQ("Failed to create IWbemLocator object. Err code = 0x80040154\n", out_.str());
    EXPECT_THAT(com_.journal, ElementsAre("CoInitializeEx 0", "CoInitializeSecurity 3", "CoUninitialize"));
}

TEST_F(VideoControllerListingTest, FailedConnectionReleasesTheLocator)
{
    com_.locator.connectResult = WBEM_E_INVALID_NAMESPACE;
    EXPECT_EQ(1, Print());
    EXPECT_EQ("Could not connect. Error code = 0x8004100e\n", out_.str());
    EXPECT_THAT(com_.journal,
                ElementsAre("CoInitializeEx 0", "CoInitializeSecurity 3", "release locator", "CoUninitialize"));
}

TEST_F(VideoControllerListingTest, FailedQueryReleasesServicesThenLocator)
{
    AddRow(L"Never listed", 0);
    com_.locator.services.queryResult = WBEM_E_INVALID_QUERY;
    EXPECT_EQ(1, Print());
    EXPECT_EQ("Query for video controllers failed. Error code = 0x80041017\n", out_.str());
    EXPECT_THAT(com_.journal, ElementsAre("CoInitializeEx 0", "CoInitializeSecurity 3", "release services",
                                          "release locator", "CoUninitialize"));
}
