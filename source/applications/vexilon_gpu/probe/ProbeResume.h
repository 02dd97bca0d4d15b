#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Where a probe starts: at the beginning, or where an earlier probe lost its
// work to a driver fault. Travels to the probe as the value of its private
// switch.
struct ProbeResume {
    static const char* const kSwitch;  // "--vexilon-probe="

    bool atStart = true;
    std::size_t gpu = 0;      // tester mode: the GPU and field to go on with
    std::size_t field = 0;
    std::uint32_t steps = 0;  // report steps already taken
    bool openCL = true;       // false once OpenCL has failed
    bool legacyAfterOpenCL = false;

    std::string Text() const;
    // False for a text that is not one of Text()'s.
    static bool Parse(const std::string& text, ProbeResume& resume);
};
