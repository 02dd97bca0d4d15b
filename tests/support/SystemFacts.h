#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// What Windows itself reports about the video controllers, read directly
// (not through the code under test) to compare the tool's answers with.
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

class SystemFacts {
public:
    // The rows of "SELECT * FROM Win32_VideoController", texts as plain ASCII
    // (non-ASCII characters become '?').
    static std::vector<VideoControllerFacts> VideoControllers();
    // DXGI's adapters, in DXGI's order.
    static std::vector<AdapterIdentifiers> DXGIAdapters();
    // Display devices flagged as attached to the desktop.
    static std::size_t AttachedDisplayDevices();
};

} // namespace testsupport

namespace testsupport {

// The same facts read by a fresh process: Wine's adapter settings in the
// registry are read when a process first loads the graphics libraries, so a
// process that has already loaded them does not see a change.
struct FreshSystemFacts {
    std::vector<VideoControllerFacts> controllers;
    std::vector<AdapterIdentifiers> adapters;

    // Re-runs the calling test program with the fact printer (the test
    // SystemFactsProbe.Print, which must be linked into it).
    static FreshSystemFacts Read();
    // What the fact printer writes; Read() parses it.
    static std::string Print();
};

} // namespace testsupport
