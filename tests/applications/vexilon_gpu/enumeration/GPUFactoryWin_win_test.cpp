// Which display devices become GPUs: the enumeration on Wine's WMI row,
// offered once per display device of the case, each device with the case's
// state flags; contexts open on Wine's one real device.
#include "ScriptedDisplays.h"

#include "enumeration/GPUFactoryWin.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const DWORD kAttached = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP;
const DWORD kPrimary = DISPLAY_DEVICE_PRIMARY_DEVICE;
const DWORD kMirroring = DISPLAY_DEVICE_MIRRORING_DRIVER;

} // namespace

// Only attachment to the desktop counts; a dropped row leaves the position
// to the next row, which meets the same display device again.
TEST(GPUFactoryWin, EveryDisplayDeviceAttachedToTheDesktopBecomesAGPU)
{
    const struct {
        const char* name;
        std::vector<DWORD> flags;
        std::vector<std::size_t> asked;
        std::size_t gpus;
    } cases[] = {
        {"attached and primary", {kAttached | kPrimary}, {0}, 1},
        {"attached, not primary", {kAttached | kPrimary, kAttached}, {0, 1}, 2},
        {"primary flag without attached", {kPrimary, kAttached}, {0, 0}, 0},
        {"a mirroring driver", {kAttached, kMirroring, kAttached}, {0, 1, 1}, 1},
        {"detached first", {0, kAttached}, {0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ScriptedDisplays system(c.flags);
        EnumerationSystem::InstallReplacement(&system);
        GPUFactoryWin factory;
        EXPECT_EQ(c.gpus, factory.GetGPUs().size());
        EnumerationSystem::InstallReplacement(nullptr);
        EXPECT_EQ(c.asked, system.asked);
    }
}
