#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// Wine's DLL overrides for one program, under
// HKCU\Software\Wine\AppDefaults\<program>\DllOverrides. A child started
// from a Windows process cannot be given WINEDLLOVERRIDES: Wine takes its own
// variables from the Unix environment, never from the environment block that
// CreateProcess passes. Every value set is put back, and every key made is
// removed, when the object goes out of scope.
class WineDllOverrides {
public:
    // The program's file name, such as "vexilon_gpu.exe".
    explicit WineDllOverrides(const std::string& programFileName);
    ~WineDllOverrides();

    WineDllOverrides(const WineDllOverrides&) = delete;
    WineDllOverrides& operator=(const WineDllOverrides&) = delete;

    // The library ("d3d10", no extension) fails to load in that program, as
    // with WINEDLLOVERRIDES="d3d10=".
    void disable(const std::string& library);

    // The file name of the running program.
    static std::string ThisProgram();

private:
    struct Saved {
        std::string name;
        bool existed;
        std::vector<BYTE> data;
        DWORD type;
    };

    std::string programKey_;
    bool madeProgramKey_;
    bool madeOverridesKey_;
    HKEY overrides_;
    std::vector<Saved> saved_;
};

} // namespace testsupport
