// Which display devices become GPUs: the enumeration on Wine's WMI row,
// offered once per display device of the case, each device with the case's
// state flags; contexts open on Wine's one real device.
#include "ScriptedDisplays.h"

#include "enumeration/GPUFactoryWin.h"
#include "enumeration/VulkanTies.h"

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

// The LUID of each GPU's DXGI adapter ties Vulkan's devices to it, whatever
// their order; without a LUID, ids that only one device and GPU have.
TEST(GPUFactoryWin, VulkanDevicesTieToTheGPUsByTheirAdaptersLuids)
{
    testsupport::ScriptedDisplays system({kAttached, kAttached});
    system.adapters.resize(2, DXGI_ADAPTER_DESC{});
    system.adapters[0].AdapterLuid = LUID{0x11, 1};
    system.adapters[1].VendorId = 0x8086;
    system.adapters[1].AdapterLuid = LUID{0x22, 0};
    EnumerationSystem::InstallReplacement(&system);
    GPUFactoryWin factory;
    std::vector<GPUIdentity> gpus;
    for (const boost::shared_ptr<GPU>& gpu : factory.GetGPUs()) {
        gpus.push_back(gpu->Identity());
    }
    EnumerationSystem::InstallReplacement(nullptr);
    std::vector<VulkanDevice> devices(3);
    devices[0].luidValid = devices[1].luidValid = true;
    devices[0].luid = 0x22;
    devices[1].luid = 0x100000011;
    devices[2].vendorID = 0x8086;  // the GPU is taken: no second device for it
    EXPECT_EQ((std::vector<int>{1, 0, -1}), VulkanTies::Tie(gpus, devices, VulkanTies::System::kWindows));
}
