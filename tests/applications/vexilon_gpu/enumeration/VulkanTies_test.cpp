// Which GPU each Vulkan device is, by the rules of each system; the GPUs'
// identities as the enumerations give them are tested with the factories.
#include "enumeration/VulkanTies.h"

#include <gtest/gtest.h>

namespace {

const auto kLinux = VulkanTies::System::kLinux;
const auto kWindows = VulkanTies::System::kWindows;

GPUIdentity Pci(const char* address, const char* uuid = "")
{
    GPUIdentity gpu;
    gpu.pciAddress = address;
    gpu.uuid = uuid;
    return gpu;
}

GPUIdentity Software()
{
    GPUIdentity gpu;
    gpu.software = true;
    return gpu;
}

GPUIdentity Adapter(std::uint64_t luid, std::uint32_t vendor, std::uint32_t device)
{
    GPUIdentity gpu;
    gpu.luid = luid;
    gpu.vendorID = vendor;
    gpu.deviceID = device;
    return gpu;
}

VulkanDevice Device(const char* type, std::uint32_t vendor = 0, std::uint32_t device = 0)
{
    VulkanDevice vulkan;
    vulkan.deviceType = type;
    vulkan.vendorID = vendor;
    vulkan.deviceID = device;
    return vulkan;
}

VulkanDevice AtPci(std::uint32_t domain, std::uint32_t bus, std::uint32_t device, std::uint32_t function)
{
    VulkanDevice vulkan = Device("discrete");
    vulkan.hasPciBusInfo = true;
    vulkan.pciDomain = domain;
    vulkan.pciBus = bus;
    vulkan.pciDevice = device;
    vulkan.pciFunction = function;
    return vulkan;
}

VulkanDevice WithUuid(VulkanDevice vulkan, std::uint8_t first)
{
    vulkan.hasIDs = true;
    for (std::size_t i = 0; i < vulkan.deviceUUID.size(); ++i) {
        vulkan.deviceUUID[i] = static_cast<std::uint8_t>(first + i);
    }
    return vulkan;
}

VulkanDevice WithLuid(VulkanDevice vulkan, std::uint64_t luid, bool valid = true)
{
    vulkan.luid = luid;
    vulkan.luidValid = valid;
    return vulkan;
}

const char* const kUuid0 = "GPU-00010203-0405-0607-0809-0a0b0c0d0e0f";

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
        {"PCI addresses as numbers, in any order", kLinux, {Pci("0000:0a:00.0"), Pci("0000:03:00.0")},
         {AtPci(0, 3, 0, 0), AtPci(0, 10, 0, 0)}, {1, 0}},
        {"a function or domain apart is another GPU", kLinux, {Pci("0000:03:00.0")},
         {AtPci(0, 3, 0, 1), AtPci(1, 3, 0, 0)}, {-1, -1}},
        {"the UUID where there is no PCI bus info", kLinux, {Pci("0000:41:00.0"), Pci("", kUuid0)},
         {WithUuid(Device("discrete"), 0)}, {1}},
        {"an address no GPU has leaves it to the UUID", kLinux, {Pci("0000:41:00.0", kUuid0)},
         {WithUuid(AtPci(0, 0x42, 0, 0), 0)}, {0}},
        {"another UUID ties nothing", kLinux, {Pci("", kUuid0)}, {WithUuid(Device("discrete"), 1)}, {-1}},
        {"the software GPU with the one CPU device", kLinux, {Pci("0000:03:00.0"), Software()},
         {AtPci(0, 3, 0, 0), Device("cpu")}, {0, 1}},
        {"two CPU devices: no guess", kLinux, {Software()}, {Device("cpu"), Device("cpu")}, {-1, -1}},
        {"a hardware GPU never takes a CPU device", kLinux, {Pci("0000:03:00.0")}, {Device("cpu")}, {-1}},
        {"two drivers of one GPU: the first takes it", kLinux, {Pci("0000:03:00.0")},
         {AtPci(0, 3, 0, 0), AtPci(0, 3, 0, 0)}, {0, -1}},
        {"no position: one GPU, one device, nothing in common", kLinux, {Pci("0000:03:00.0")}, {Device("discrete")},
         {-1}},
        {"Windows: LUIDs in any order", kWindows, {Adapter(0x100000011, 0x10DE, 1), Adapter(0x100000022, 0x8086, 2)},
         {WithLuid(Device("integrated", 0x8086, 2), 0x100000022), WithLuid(Device("discrete", 0x10DE, 1), 0x100000011)},
         {1, 0}},
        {"Windows: the ids one device and one GPU have", kWindows,
         {Adapter(0, 0x10DE, 1), Adapter(0, 0x8086, 2)},
         {WithLuid(Device("integrated", 0x8086, 2), 5, false)}, {1}},
        {"Windows: ids two devices share", kWindows, {Adapter(0, 0x10DE, 1)},
         {Device("discrete", 0x10DE, 1), Device("discrete", 0x10DE, 1)}, {-1, -1}},
        {"Windows: ids two GPUs share", kWindows, {Adapter(0, 0x10DE, 1), Adapter(0, 0x10DE, 1)},
         {Device("discrete", 0x10DE, 1)}, {-1}},
        {"Wine: lavapipe without a LUID is not the GPU", kWindows, {Adapter(0x1234, 0x10DE, 0x06CD)},
         {WithLuid(Device("cpu", 0x10005, 0), 0, false)}, {-1}},
        {"Windows never ties by PCI bus info", kWindows, {Pci("0000:03:00.0")}, {AtPci(0, 3, 0, 0)}, {-1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.ties, VulkanTies::Tie(c.gpus, c.devices, c.system));
    }
}
