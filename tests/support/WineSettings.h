#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// Wine's registry settings that a process reads when it starts: those under
// HKCU\Software\Wine\Direct3D, by which WMI, DXGI and Direct3D report another
// adapter, libraries vexilon_gpu.exe may not load, and any other. Every value
// set is put back, and every key made removed, at the end of the scope.
class WineSettings {
public:
    WineSettings() = default;
    ~WineSettings();
    WineSettings(const WineSettings&) = delete;
    WineSettings& operator=(const WineSettings&) = delete;

    void setDword(const std::string& name, DWORD value);
    void setString(const std::string& name, const std::string& value);
    // As WINEDLLOVERRIDES="d3d10=" would, which a child of a Windows process
    // cannot be given: Wine takes it from the Unix environment only.
    void disableLibrary(const std::string& library);
    // A text value under HKCU.
    void setString(const std::string& key, const std::string& name, const std::string& value);

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
