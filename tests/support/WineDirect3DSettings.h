#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// Values under HKCU\Software\Wine\Direct3D, by which Wine's WMI, DXGI and
// Direct3D report another adapter. Every value set is put back as it was when
// the object goes out of scope.
class WineDirect3DSettings {
public:
    WineDirect3DSettings();
    ~WineDirect3DSettings();

    WineDirect3DSettings(const WineDirect3DSettings&) = delete;
    WineDirect3DSettings& operator=(const WineDirect3DSettings&) = delete;

    void setDword(const std::string& name, DWORD value);
    void setString(const std::string& name, const std::string& value);

private:
    struct Saved {
        std::string name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };
    void remember(const std::string& name);

    HKEY key_;
    std::vector<Saved> saved_;
};

} // namespace testsupport
