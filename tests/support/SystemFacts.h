#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// What Wine itself reports, read with none of the tool's code, to hold the
// tool's answers against. Texts are plain ASCII ('?' for anything else).
struct VideoControllerFacts {
    std::string caption;
    std::string installedDisplayDrivers;
    std::string driverVersion;
    std::string driverDate;
    std::uint32_t adapterRAM = 0;
};

struct AdapterIdentifiers {
    std::uint32_t vendorID;
    std::uint32_t deviceID;
    std::uint64_t dedicatedVideoMemory;  // bytes
};

// Win32_VideoController's rows and DXGI's adapters as a fresh process sees
// them: Wine reads its adapter settings in the registry when a process first
// loads the graphics libraries, so this process may hold stale ones.
struct FreshSystemFacts {
    std::vector<VideoControllerFacts> controllers;
    std::vector<AdapterIdentifiers> adapters;

    // Re-runs this test program as the fact printer (SystemFactsProbe.Print,
    // linked in with this).
    static FreshSystemFacts Read();
};

} // namespace testsupport
