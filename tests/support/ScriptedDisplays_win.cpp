#include "ScriptedDisplays.h"

namespace testsupport {

ScriptedDisplays::ScriptedDisplays(const std::vector<DWORD>& flags, const std::string& crashing)
    : flags_(flags), crashing_(crashing)
{
}

HRESULT ScriptedDisplays::NextRow(IEnumWbemClassObject* enumerator, IWbemClassObject** row)
{
    if (!row_ && FAILED(EnumerationSystemWin::NextRow(enumerator, row_.receive()))) {
        return E_FAIL;
    }
    *row = rows_++ < flags_.size() ? row_.get() : nullptr;
    if (*row != nullptr) {
        (*row)->AddRef();
    }
    return S_OK;
}

void ScriptedDisplays::DisplayDevice(std::size_t index, DISPLAY_DEVICEA& device)
{
    asked.push_back(index);
    device.StateFlags = index < flags_.size() ? flags_[index] : 0;
}

ZEB::OGL::Context* ScriptedDisplays::CreateOffscreenContext(const DISPLAY_DEVICEA&)
{
    if (crashing_.find(static_cast<char>('0' + asked.back())) != std::string::npos) {
        volatile int* volatile nowhere = nullptr;
        *nowhere = 1;
    }
    DISPLAY_DEVICEA real = {};
    real.cb = sizeof real;
    EnumerationSystemWin::DisplayDevice(0, real);
    return EnumerationSystemWin::CreateOffscreenContext(real);
}

} // namespace testsupport
