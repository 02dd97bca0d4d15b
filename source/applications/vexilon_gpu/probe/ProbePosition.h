#pragma once

#include "enumeration/ListingSteps.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Where a probe's work is, as its last marks said.
struct ProbePosition {
    bool known = false;  // no mark yet: the GPUs are being listed
    std::size_t gpu = 0;
    std::size_t field = 0;
    std::uint32_t steps = 0;
    std::size_t count = 0;
    std::string legacyStage;  // "gl", "opencl" or "last"
    std::string legacyStep;   // within the OpenGL stage: "start", "context", "renderer", ...
    std::uint32_t listingSteps = 0;  // report steps taken before the GPUs were listed
    // The last mark named a device: the listing is asking it something.
    bool atDevice = false;
    ListingSteps::Device device;
    bool vulkan = false;      // the report is done; its Vulkan facts are being gathered
};
