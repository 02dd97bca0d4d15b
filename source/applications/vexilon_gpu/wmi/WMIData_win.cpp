#include "wmi/WMIData.h"

#include "wmi/ScopedVariant.h"
#include "wmi/WMIStrings.h"

namespace {

unsigned int ReadAdapterRAM(IWbemClassObject* row)
{
    if (row == nullptr) {
        return 0;
    }
    ScopedVariant value;
    if (FAILED(row->Get(L"AdapterRAM", 0, value.get(), nullptr, nullptr)) || value.type() != VT_I4) {
        return 0;
    }
    return static_cast<unsigned int>(value.value().lVal);
}

} // namespace

WMIData::WMIData(IWbemClassObject* row)
    : uAdapterRAM_(ReadAdapterRAM(row)),
      sName_(GetWMIString(row, L"Name")),
      sCaption_(GetWMIString(row, L"Caption")),
      sInstalledDisplayDrivers_(GetWMIString(row, L"InstalledDisplayDrivers")),
      sVideoModeDescription_(GetWMIString(row, L"VideoModeDescription")),
      sDriverVersion_(GetWMIString(row, L"DriverVersion")),
      sDriverDate_(GetWMIString(row, L"DriverDate"))
{
}

WMIData::~WMIData() {}
