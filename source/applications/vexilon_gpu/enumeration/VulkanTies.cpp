#include "enumeration/VulkanTies.h"

#include "vulkan/VulkanVersionText.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// A PCI address as its four numbers, so "0000:0a:00.0" and "0:a:0.0" agree.
bool PciNumbers(const std::string& address, unsigned (&numbers)[4])
{
    char end = 0;
    return std::sscanf(address.c_str(), "%x:%x:%x.%x%c", &numbers[0], &numbers[1], &numbers[2], &numbers[3], &end) == 4;
}

bool SamePci(const GPUIdentity& gpu, const VulkanDevice& device)
{
    unsigned numbers[4];
    return device.hasPciBusInfo && PciNumbers(gpu.pciAddress, numbers) && numbers[0] == device.pciDomain &&
           numbers[1] == device.pciBus && numbers[2] == device.pciDevice && numbers[3] == device.pciFunction;
}

bool SameUuid(const GPUIdentity& gpu, const VulkanDevice& device)
{
    return device.hasIDs && !gpu.uuid.empty() && gpu.uuid == "GPU-" + VulkanVersionText::Uuid(device.deviceUUID);
}

bool SameLuid(const GPUIdentity& gpu, const VulkanDevice& device)
{
    return device.luidValid && gpu.luid != 0 && gpu.luid == device.luid;
}

bool SameIds(const GPUIdentity& gpu, const VulkanDevice& device)
{
    return gpu.vendorID != 0 && gpu.vendorID == device.vendorID && gpu.deviceID == device.deviceID;
}

} // namespace

std::vector<int> VulkanTies::Tie(const std::vector<GPUIdentity>& gpus, const std::vector<VulkanDevice>& devices,
                                 System system)
{
    typedef std::function<bool(const GPUIdentity&, const VulkanDevice&)> Rule;
    std::vector<int> ties(devices.size(), -1);
    std::vector<bool> taken(gpus.size(), false);
    // A rule ties a device to the one free GPU it names; the rules are tried
    // in order, each over every device still untied. A rule that can name
    // alike devices (`unique`) decides only for one device and one GPU.
    const auto apply = [&](const Rule& same, bool unique) {
        for (std::size_t device = 0; device < devices.size(); ++device) {
            if (ties[device] >= 0) {
                continue;
            }
            std::vector<std::size_t> named;
            for (std::size_t gpu = 0; gpu < gpus.size(); ++gpu) {
                if (same(gpus[gpu], devices[device])) {
                    named.push_back(gpu);
                }
            }
            if (named.size() != 1 || taken[named[0]]) {
                continue;
            }
            const GPUIdentity& gpu = gpus[named[0]];
            if (unique && std::count_if(devices.begin(), devices.end(),
                                        [&](const VulkanDevice& other) { return same(gpu, other); }) != 1) {
                continue;
            }
            ties[device] = static_cast<int>(named[0]);
            taken[named[0]] = true;
        }
    };
    if (system == System::kWindows) {
        apply(SameLuid, false);
        apply(SameIds, true);
        return ties;
    }
    apply(SamePci, false);
    apply(SameUuid, false);
    apply([](const GPUIdentity& gpu, const VulkanDevice& device) { return gpu.software && device.deviceType == "cpu"; },
          true);
    return ties;
}

VulkanTies::System VulkanTies::Native()
{
#ifdef _WIN32
    return System::kWindows;
#else
    return System::kLinux;
#endif
}
