#include "enumeration/ListingSteps.h"

#include "compute/ProgressSignal.h"

#include <algorithm>

namespace {
std::vector<ListingSteps::Device> gSkipped;
}

void ListingSteps::Skip(const std::vector<Device>& devices) { gSkipped = devices; }

bool ListingSteps::Enter(std::size_t index, const std::string& identity)
{
    const bool skipped = std::any_of(gSkipped.begin(), gSkipped.end(), [&](const Device& device) {
        return device.index == index || (!identity.empty() && device.identity == identity);
    });
    if (skipped) {
        return false;
    }
    ProgressSignal::Send("at device " + std::to_string(index) + (identity.empty() ? "" : " " + identity));
    return true;
}
