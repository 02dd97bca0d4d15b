#pragma once

#include <string>

struct IWbemClassObject;

// What WMI reports about one video controller (a Win32_VideoController row).
// Filled once from the row and never changed; texts are escaped to printable
// ASCII, the memory size is WMI's raw byte count.
class WMIData {
public:
    // Reads the row, which stays the caller's (no reference is added or
    // released). COM must be initialised on this thread. A property that is
    // missing or of an unexpected type leaves its field empty (or 0).
    explicit WMIData(IWbemClassObject* row);
    WMIData(const WMIData& other) = default;
    WMIData& operator=(const WMIData& other) = default;
    virtual ~WMIData();

    // "AdapterRAM" in bytes, taken as unsigned (WMI delivers sizes of 2 GiB
    // and more as negative numbers).
    unsigned int AdapterRAM() const { return uAdapterRAM_; }
    std::string Name() const { return sName_; }
    std::string Caption() const { return sCaption_; }
    std::string InstalledDisplayDrivers() const { return sInstalledDisplayDrivers_; }
    std::string VideoModeDescription() const { return sVideoModeDescription_; }
    std::string DriverVersion() const { return sDriverVersion_; }
    // WMI's date-time text as delivered.
    std::string DriverDate() const { return sDriverDate_; }

private:
    unsigned int uAdapterRAM_;
    std::string sName_;
    std::string sCaption_;
    std::string sInstalledDisplayDrivers_;
    std::string sVideoModeDescription_;
    std::string sDriverVersion_;
    std::string sDriverDate_;
};
