#include "sysinfo/WMIData.h"

#include "sysinfo/EscapeWideString.h"

#include "WmiVideoControllers.h"

#include <gtest/gtest.h>

using testsupport::WmiVideoControllers;

namespace {

// The text as the record should hold it: escaped when WMI gave a text, else empty.
std::string Expected(IWbemClassObject* row, const wchar_t* name)
{
    std::wstring text;
    return WmiVideoControllers::ReadText(row, name, text) ? EscapeWideString(text.c_str()) : std::string();
}

} // namespace

TEST(WMIDataOnWine, AgreesWithTheRowsWMIReports)
{
    unsigned rows = 0;
    WmiVideoControllers::ForEach([&rows](IWbemClassObject* row) {
        ++rows;
        const WMIData data(row);
        LONG adapterRAM = 0;
        EXPECT_EQ(WmiVideoControllers::ReadInt(row, L"AdapterRAM", adapterRAM) ? static_cast<unsigned>(adapterRAM)
                                                                                : 0u,
                  data.AdapterRAM());
        EXPECT_EQ(Expected(row, L"Name"), data.Name());
        EXPECT_EQ(Expected(row, L"Caption"), data.Caption());
        EXPECT_EQ(Expected(row, L"InstalledDisplayDrivers"), data.InstalledDisplayDrivers());
        EXPECT_EQ(Expected(row, L"VideoModeDescription"), data.VideoModeDescription());
        EXPECT_EQ(Expected(row, L"DriverVersion"), data.DriverVersion());
        EXPECT_EQ(Expected(row, L"DriverDate"), data.DriverDate());

        // Wine describes its adapter fully; an empty field here means a misread.
        EXPECT_NE(0u, data.AdapterRAM());
        EXPECT_NE("", data.Caption());
        EXPECT_NE("", data.DriverDate());
    });
    EXPECT_GE(rows, 1u);
}
