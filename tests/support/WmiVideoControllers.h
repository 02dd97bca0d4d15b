#pragma once

#include <windows.h>
#include <wbemidl.h>

#include <functional>
#include <string>

namespace testsupport {

// Win32_VideoController read straight from WMI with none of the tool's code,
// to hold the tool's readings against.
class WmiVideoControllers {
public:
    // Runs "SELECT * FROM Win32_VideoController" in the multithreaded
    // apartment and hands each row to `visit`; COM is uninitialised again
    // before this returns. Throws std::runtime_error when a step fails.
    static void ForEach(const std::function<void(IWbemClassObject* row)>& visit);

    // The property as WMI delivers it; false when it is not a BSTR.
    static bool ReadText(IWbemClassObject* row, const wchar_t* name, std::wstring& text);
    // The property as WMI delivers it; false when it is not a VT_I4.
    static bool ReadInt(IWbemClassObject* row, const wchar_t* name, LONG& number);

private:
    WmiVideoControllers() = delete;
};

} // namespace testsupport
