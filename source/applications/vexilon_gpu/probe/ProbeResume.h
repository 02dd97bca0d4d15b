#pragma once

#include "enumeration/ListingSteps.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where a probe starts: at the beginning, or where an earlier probe lost its
// work to a driver fault. Travels to the probe as the value of its private
// switch.
struct ProbeResume {
    static const char* const kSwitch;  // "--vexilon-probe="

    bool atStart = true;
    // At the listing of the GPUs: what came before it is written (the start
    // marker; in the check, the controller lines).
    bool atListing = false;
    std::size_t gpu = 0;      // tester mode: the GPU and field to go on with
    std::size_t field = 0;
    std::size_t count = 0;    // the GPUs listed (with gpu == count: only the end is left)
    std::uint32_t steps = 0;  // report steps already taken
    bool openCL = true;       // false once OpenCL has failed
    bool legacyAfterOpenCL = false;
    std::vector<ListingSteps::Device> skipped;  // devices whose listing step faulted

    std::string Text() const;
    // False for a text that is not one of Text()'s.
    static bool Parse(const std::string& text, ProbeResume& resume);
};
