#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// Wine's registry settings for Direct3D that a process reads when it starts:
// values under HKCU\Software\Wine\Direct3D, by which WMI, DXGI and Direct3D
// report another adapter, and libraries vexilon_gpu.exe may not load. Every
// value set is put back, and every key made removed, at the end of the scope.
class WineDirect3DSettings {
public:
    WineDirect3DSettings() = default;
    ~WineDirect3DSettings();
    WineDirect3DSettings(const WineDirect3DSettings&) = delete;
    WineDirect3DSettings& operator=(const WineDirect3DSettings&) = delete;

    void setDword(const std::string& name, DWORD value);
    void setString(const std::string& name, const std::string& value);
    // As WINEDLLOVERRIDES="d3d10=" would, which a child of a Windows process
    // cannot be given: Wine takes it from the Unix environment only.
    void disableLibrary(const std::string& library);

private:
    void set(const std::string& key, const std::string& name, DWORD type, const void* data, DWORD size);

    struct Saved {
        std::string key;
        std::string name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::vector<Saved> saved_;
    std::vector<std::string> madeKeys_;
};

} // namespace testsupport
