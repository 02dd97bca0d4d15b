#include "legacy/LegacyCheck.h"

#include "enumeration/EnumerationSystem.h"
#include "enumeration/ListingSteps.h"
#include "sysinfo/DirectXProbe.h"

#include "zeb/ogl/Context.h"
#include "zeb/ogl/ExtensionManager.h"

#include <vector>

namespace {

// The primary display device, as the check has always judged; where a
// display driver crashed or hung on it in an earlier probe, the next display
// device attached to the desktop. Each is a step of the listing, so such a
// fault costs only that device.
std::unique_ptr<ZEB::OGL::Context> OpenFirstWorkingContext()
{
    EnumerationSystem& system = EnumerationSystem::Current();
    std::vector<std::size_t> candidates;
    DISPLAY_DEVICEA device = {};
    for (std::size_t index = 0;; ++index) {
        device = DISPLAY_DEVICEA{};
        device.cb = sizeof device;
        system.DisplayDevice(index, device);
        if (device.DeviceName[0] == '\0' && device.StateFlags == 0) {
            break;  // past the last device
        }
        if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) {
            candidates.insert(candidates.begin(), index);
        } else if (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) {
            candidates.push_back(index);
        }
    }
    if (candidates.empty()) {
        candidates.push_back(0);  // no device says it is primary: the first one
    }
    for (const std::size_t index : candidates) {
        if (ListingSteps::Enter(index)) {
            device = DISPLAY_DEVICEA{};
            device.cb = sizeof device;
            system.DisplayDevice(index, device);
            return std::unique_ptr<ZEB::OGL::Context>(system.CreateOffscreenContext(device));
        }
    }
    return nullptr;
}

ZEB::OGL::ExtensionManager* CurrentExtensionManager() { return ZEB::OGL::ExtensionManager::Instance(); }

} // namespace

LegacyCheck::Platform LegacyCheck::SystemPlatform()
{
    return Platform{&OpenFirstWorkingContext, &CurrentExtensionManager, &TestDirectX};
}
