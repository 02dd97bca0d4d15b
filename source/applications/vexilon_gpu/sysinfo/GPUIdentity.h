#pragma once

#include <cstdint>
#include <string>

// What names one physical GPU to the other APIs that see it, so that their
// facts can be tied to it. Every part is optional: unknown stays 0 or empty.
struct GPUIdentity {
    std::string pciAddress;   // "0000:01:00.0"
    std::string uuid;         // NVIDIA's "GPU-..." in lower case
    bool software = false;    // the software renderer's device
    std::uint64_t luid = 0;   // the DXGI adapter LUID (low part in the low 32 bits); 0 when unknown
    std::uint32_t vendorID = 0;
    std::uint32_t deviceID = 0;
};
