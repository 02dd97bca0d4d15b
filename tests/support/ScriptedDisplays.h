#pragma once

#include "enumeration/EnumerationSystemWin.h"
#include "sysinfo/ComReference.h"

#include <string>
#include <vector>

namespace testsupport {

// Display devices of a test's choice: Wine's one WMI row offered once per
// device, each device with its state flags, every context opened on Wine's
// one real device. The display driver crashes while a device whose index is
// a digit of `crashing` makes its context.
class ScriptedDisplays : public EnumerationSystemWin {
public:
    explicit ScriptedDisplays(const std::vector<DWORD>& flags, const std::string& crashing = std::string());

    std::vector<std::size_t> asked;  // display device indexes, in the order asked

    HRESULT NextRow(IEnumWbemClassObject* enumerator, IWbemClassObject** row) override;
    void DisplayDevice(std::size_t index, DISPLAY_DEVICEA& device) override;
    ZEB::OGL::Context* CreateOffscreenContext(const DISPLAY_DEVICEA& device) override;

private:
    std::vector<DWORD> flags_;
    std::string crashing_;
    ComReference<IWbemClassObject> row_;
    std::size_t rows_ = 0;
};

} // namespace testsupport
