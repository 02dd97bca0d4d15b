#include "sysinfo/WMIData.h"
#include "sysinfo/WMIStrings.h"

#include "FakeWbemClassObject.h"

#include <gtest/gtest.h>

#include <memory>

using testsupport::FakeWbemClassObject;

namespace {

// A row with every property the record reads.
void FillRow(FakeWbemClassObject& row)
{
    row.setInt(L"AdapterRAM", 1610612736);
    row.setText(L"Name", L"NVIDIA GeForce GTX 580");
    row.setText(L"Caption", L"NVIDIA GeForce\u2122 GTX 580");
    row.setText(L"InstalledDisplayDrivers", L"nvd3dumx.dll,nvwgf2umx.dll,nvwgf2umx.dll");
    row.setText(L"VideoModeDescription", L"1920 x 1080 x 4294967296 colors");
    row.setText(L"DriverVersion", L"9.18.13.697");
    row.setText(L"DriverDate", L"20121004000000.000000-000");
}

} // namespace

TEST(WMIData, ReadsTheSevenPropertiesOfTheRow)
{
    FakeWbemClassObject row;
    FillRow(row);
    const WMIData data(&row);

    EXPECT_EQ(1610612736u, data.AdapterRAM());
    EXPECT_EQ("NVIDIA GeForce GTX 580", data.Name());
    EXPECT_EQ("NVIDIA GeForce\\x2122 GTX 580", data.Caption());
    EXPECT_EQ("nvd3dumx.dll,nvwgf2umx.dll,nvwgf2umx.dll", data.InstalledDisplayDrivers());
    EXPECT_EQ("1920 x 1080 x 4294967296 colors", data.VideoModeDescription());
    EXPECT_EQ("9.18.13.697", data.DriverVersion());
    EXPECT_EQ("20121004000000.000000-000", data.DriverDate());
    // The row is borrowed: no reference is left behind or taken away.
    EXPECT_EQ(0u, row.references());
}

TEST(WMIData, TakesNegativeAdapterRAMAsUnsigned)
{
    FakeWbemClassObject row;
    row.setInt(L"AdapterRAM", static_cast<LONG>(0x80000000u));
    EXPECT_EQ(2147483648u, WMIData(&row).AdapterRAM());
    row.setInt(L"AdapterRAM", -1);
    EXPECT_EQ(4294967295u, WMIData(&row).AdapterRAM());
}

TEST(WMIData, LeavesUnreadablePropertiesEmpty)
{
    FakeWbemClassObject missing;
    const WMIData empty(&missing);
    EXPECT_EQ(0u, empty.AdapterRAM());
    EXPECT_EQ("", empty.Caption());
    EXPECT_EQ("", empty.DriverDate());

    FakeWbemClassObject odd;
    FillRow(odd);
    odd.setNull(L"AdapterRAM");
    odd.setInt(L"Caption", 42);
    odd.setNull(L"DriverVersion");
    odd.setFailure(L"DriverDate", WBEM_E_FAILED);
    odd.setText(L"Name", L"");
    const WMIData data(&odd);
    EXPECT_EQ(0u, data.AdapterRAM());
    EXPECT_EQ("", data.Caption());
    EXPECT_EQ("", data.DriverVersion());
    EXPECT_EQ("", data.DriverDate());
    EXPECT_EQ("", data.Name());
    EXPECT_EQ("nvd3dumx.dll,nvwgf2umx.dll,nvwgf2umx.dll", data.InstalledDisplayDrivers());

    FakeWbemClassObject wrongSize;
    wrongSize.setUnsigned(L"AdapterRAM", 1024);
    EXPECT_EQ(0u, WMIData(&wrongSize).AdapterRAM());
}

TEST(WMIData, CopyOutlivesItsSource)
{
    FakeWbemClassObject row;
    FillRow(row);
    std::unique_ptr<WMIData> original(new WMIData(&row));
    const WMIData copy(*original);
    original.reset();

    EXPECT_EQ(1610612736u, copy.AdapterRAM());
    EXPECT_EQ("NVIDIA GeForce GTX 580", copy.Name());
    EXPECT_EQ("NVIDIA GeForce\\x2122 GTX 580", copy.Caption());
    EXPECT_EQ("nvd3dumx.dll,nvwgf2umx.dll,nvwgf2umx.dll", copy.InstalledDisplayDrivers());
    EXPECT_EQ("1920 x 1080 x 4294967296 colors", copy.VideoModeDescription());
    EXPECT_EQ("9.18.13.697", copy.DriverVersion());
    EXPECT_EQ("20121004000000.000000-000", copy.DriverDate());
}

TEST(WMIStrings, ReportWhetherTheTextCouldBeRead)
{
    FakeWbemClassObject row;
    row.setText(L"Caption", L"Caf\u00e9");
    row.setText(L"Empty", L"");
    row.setInt(L"Number", 7);
    row.setFailure(L"Broken", WBEM_E_ACCESS_DENIED);

    std::string text = "unchanged";
    EXPECT_FALSE(TryGetWMIString(&row, L"Number", text));
    EXPECT_FALSE(TryGetWMIString(&row, L"Broken", text));
    EXPECT_FALSE(TryGetWMIString(&row, L"Missing", text));
    EXPECT_EQ("unchanged", text);
    EXPECT_TRUE(TryGetWMIString(&row, L"Caption", text));
    EXPECT_EQ("Caf\\x00e9", text);

    bool succeeded = false;
    EXPECT_EQ("", GetWMIString(&row, L"Empty", &succeeded));
    EXPECT_TRUE(succeeded);
    EXPECT_EQ("", GetWMIString(&row, L"Broken", &succeeded));
    EXPECT_FALSE(succeeded);
    EXPECT_EQ("Caf\\x00e9", GetWMIString(&row, L"Caption"));
}
