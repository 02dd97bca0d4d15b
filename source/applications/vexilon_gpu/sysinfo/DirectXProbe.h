#pragma once

#include <windows.h>

#include <iosfwd>

// The legacy check's DirectX requirement: a Direct3D 10 hardware device, or
// else a Direct3D 9 hardware device with pixel shader 3.0 or higher. A pass
// returns; a failure writes its reason and "Return code: 0" and ends the
// process with status 0.
class DirectXProbe {
public:
    // The system calls the probe makes, so that tests can stand in for the
    // libraries and for the end of the process.
    struct Platform {
        HMODULE (*loadLibrary)(const char* fileName);  // sets the last error on failure
        decltype(&::GetProcAddress) getProcAddress;
        decltype(&::FreeLibrary) freeLibrary;
        void (*exit)(int status);  // must not return
    };
    // Libraries from the system directory only; std::exit.
    static Platform SystemPlatform();

    DirectXProbe(const Platform& platform, std::ostream& out);

    void TestDirectX();
    // 0 when a Direct3D 10 hardware device was created, otherwise an error code.
    DWORD TestD3D10Device(HMODULE d3d10);
    // Returns only on a pass. Always unloads the library.
    void TestD3D9ShaderModel(HMODULE d3d9);

private:
    [[noreturn]] void Fail(HMODULE d3d9);
    [[noreturn]] void EndProcess();

    Platform platform_;
    std::ostream& out_;
};

// The probes on standard output, through the system's libraries.
void TestDirectX();
DWORD TestD3D10Device(HMODULE d3d10);
void TestD3D9ShaderModel(HMODULE d3d9);
