#pragma once

#include <cstdint>
#include <string>

// What the system (not OpenGL) says about one GPU. Every field is optional:
// an unknown one stays 0 or empty, and the report leaves its line out.
struct DeviceFacts {
    std::uint32_t vendorID = 0;     // PCI ids; 0 when unknown
    std::uint32_t deviceID = 0;
    std::string pciAddress;         // "0000:01:00.0"; empty when unknown
    std::string driver;             // kernel driver name ("amdgpu", "i915", "nvidia"); empty: no line
    std::string driverVersion;      // the NVIDIA driver's release; empty elsewhere (the GL names Mesa's)
    std::string kernelDriverVersion;  // the kernel driver's own: its module's, else DRM's; JSON only
    std::string driverDate;         // its release date, "yyyymmdd000000.000000-000"; empty: no line
    std::uint64_t memoryBytes = 0;  // the system's memory figure; 0 when unknown
    std::string uuid;               // NVIDIA's "GPU-..." UUID in lower case; empty when unknown
    bool software = false;          // the software renderer's device
};
