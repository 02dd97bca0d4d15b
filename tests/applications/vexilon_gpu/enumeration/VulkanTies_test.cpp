// Which GPU each Vulkan device is, by the rules of each system; the GPUs'
// identities as the enumerations give them are tested with the factories.
#include "enumeration/VulkanTies.h"

#include <gtest/gtest.h>

namespace {

const auto kLinux = VulkanTies::System::kLinux;
const auto kWindows = VulkanTies::System::kWindows;
const char* const kUuid0 = "GPU-00010203-0405-0607-0809-0a0b0c0d0e0f";

GPUIdentity Gpu(const char* pci, const char* uuid = "", std::uint64_t luid = 0, std::uint32_t ids = 0)
{
    return GPUIdentity{pci != nullptr ? pci : "", uuid, pci == nullptr, luid, ids >> 16, ids & 0xFFFF};
}

// `bus` < 0: no PCI bus info; `uuid` < 0: no UUID; `luid` 0: none valid; `ids`: vendor << 16 | device.
VulkanDevice Dev(const char* type, int bus, int uuid = -1, std::uint64_t luid = 0, std::uint32_t ids = 0)
{
    VulkanDevice device;
    device.deviceType = type;
    device.hasPciBusInfo = bus >= 0;
    device.pciBus = static_cast<std::uint32_t>(bus) & 0xFF;
    device.pciDomain = static_cast<std::uint32_t>(bus) >> 8;  // 0x100 + bus: in domain 1
    device.hasIDs = uuid >= 0;
    for (std::size_t i = 0; i < device.deviceUUID.size(); ++i) {
        device.deviceUUID[i] = static_cast<std::uint8_t>(uuid + i);
    }
    device.luidValid = luid != 0;
    device.luid = luid;
    device.vendorID = ids >> 16;
    device.deviceID = ids & 0xFFFF;
    return device;
}

} // namespace

TEST(VulkanTies, ByWhatNamesTheSameGPUNeverByPosition)
{
    const struct {
        const char* name;
        VulkanTies::System system;
        std::vector<GPUIdentity> gpus;
        std::vector<VulkanDevice> devices;
        std::vector<int> ties;
    } cases[] = {
        {"PCI addresses as numbers, in any order", kLinux, {Gpu("0001:0a:00.0"), Gpu("0000:03:00.0")},
         {Dev("discrete", 3), Dev("discrete", 0x10A), Dev("discrete", 10)}, {1, 0, -1}},
        {"the UUID without PCI bus info", kLinux, {Gpu("0000:41:00.0"), Gpu("", kUuid0)}, {Dev("discrete", -1, 0)},
         {1}},
        {"an address no GPU has leaves it to the UUID", kLinux, {Gpu("0000:41:00.0", kUuid0)},
         {Dev("discrete", 0x42, 0)}, {0}},
        {"the software GPU with the one CPU device", kLinux, {Gpu("0000:03:00.0"), Gpu(nullptr)},
         {Dev("discrete", 3), Dev("cpu", -1)}, {0, 1}},
        {"two CPU devices: no guess", kLinux, {Gpu(nullptr)}, {Dev("cpu", -1), Dev("cpu", -1)}, {-1, -1}},
        {"Windows: LUIDs in any order", kWindows, {Gpu("", "", 0x100000011), Gpu("", "", 0x100000022)},
         {Dev("integrated", 3, -1, 0x100000022), Dev("discrete", -1, -1, 0x100000011)}, {1, 0}},
        {"Windows: ids one device and one GPU have", kWindows,
         {Gpu("", "", 0, 0x10DE0001), Gpu("", "", 0, 0x80860002)}, {Dev("integrated", -1, -1, 0, 0x80860002)}, {1}},
        {"Windows: ids two devices share", kWindows, {Gpu("", "", 0, 0x10DE0001)},
         {Dev("discrete", -1, -1, 0, 0x10DE0001), Dev("discrete", -1, -1, 0, 0x10DE0001)}, {-1, -1}},
        {"Wine: lavapipe has no LUID and is no GPU", kWindows, {Gpu("", "", 0x1234, 0x10DE06CD), Gpu(nullptr)},
         {Dev("cpu", -1, 0)}, {-1}},
        {"Windows never ties by PCI address", kWindows, {Gpu("0000:03:00.0")}, {Dev("discrete", 3)}, {-1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.ties, VulkanTies::Tie(c.gpus, c.devices, c.system));
    }
}
