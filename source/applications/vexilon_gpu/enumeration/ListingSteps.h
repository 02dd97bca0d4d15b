#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The listing of the GPUs as one step per device. Each step is marked for a
// watcher before the device is asked anything (its strings, its display, its
// context), so that a driver fault there costs only that device: the next
// probe leaves it out, and every twin of it, as a device whose context cannot
// be made.
class ListingSteps {
public:
    struct Device {
        std::size_t index = 0;  // EGL's device index; on Windows the display device's
        std::string identity;   // what makes two listed devices one GPU (the PCI address where known); may be empty
    };

    // The devices an earlier probe lost to a driver fault; none by default.
    static void Skip(const std::vector<Device>& devices);
    // Marks the step "at device <index> [<identity>]" and says whether to take
    // it: false, unmarked, for a skipped device or a twin of one.
    static bool Enter(std::size_t index, const std::string& identity = std::string());

private:
    ListingSteps() = delete;
};
