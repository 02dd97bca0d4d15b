// The readers of sysfs, /proc and the DRM stand-in on whatever the files
// hold: the input, cut at NUL bytes, becomes the files of a stand-in tree
// with one AMD-like GPU behind a DRM node and one NVIDIA GPU without one.
#include "sysinfo/LinuxDeviceFacts.h"
#include "sysinfo/SystemTree.h"

#include "FakeSysfsTree_linux.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

const char kDevice[] = "/sys/devices/pci0000:00/0000:03:00.0";
const char kNvidia[] = "0000:41:00.0";

// The files whose contents the input decides, in input order.
const char* const kFiles[] = {
    "/sys/devices/pci0000:00/0000:03:00.0/vendor",
    "/sys/devices/pci0000:00/0000:03:00.0/device",
    "/sys/devices/pci0000:00/0000:03:00.0/mem_info_vram_total",
    "/sys/module/amdgpu/version",
    "/dev/dri/card0.drm-version",
    "/proc/driver/nvidia/gpus/0000:41:00.0/information",
    "/sys/bus/pci/devices/0000:41:00.0/device",
    "/proc/driver/nvidia/version",
    "/nvml/0000:41:00.0",
};

// Removed with the process.
const FakeSysfsTree gTree;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string device(kDevice);
    gTree.Link("/sys/bus/pci/devices/0000:03:00.0", device);
    gTree.Link("/sys/class/drm/card0", device + "/drm/card0");
    gTree.Link(device + "/drm/card0/device", device);
    gTree.Link(device + "/driver", "/sys/bus/pci/drivers/amdgpu");
    gTree.Link("/sys/bus/pci/drivers/amdgpu/module", "/sys/module/amdgpu");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string::size_type begin = 0;
    for (const char* file : kFiles) {
        const std::string::size_type end = std::min(input.find('\0', begin), input.size());
        gTree.Write(file, input.substr(begin, end - begin));
        begin = std::min(end + 1, input.size());
    }

    const SystemTree tree(gTree.Root());
    const DeviceFacts amd = LinuxDeviceFacts::ForDrmNode(tree, "/dev/dri/card0");
    // Only NVIDIA's module names a release date ("yyyymmdd000000.000000-000"); DRM's dates are no release's.
    if (amd.vendorID > 0xFFFF || amd.deviceID > 0xFFFF || !amd.driverDate.empty()) {
        std::abort();
    }
    for (const DeviceFacts& nvidia : LinuxDeviceFacts::NvidiaGpus(tree)) {
        if (nvidia.vendorID != 0x10DE || nvidia.deviceID > 0xFFFF || nvidia.pciAddress != kNvidia ||
            (!nvidia.driverDate.empty() && nvidia.driverDate.size() != 25)) {
            std::abort();
        }
    }

    std::uint64_t parts[4];
    std::uint64_t number = 0;
    LinuxDeviceFacts::ParsePciAddress(input, parts);
    SystemTree::ParseNumber(input, 16, number);
    SystemTree::ParseNumber(input, 10, number);
    return 0;
}
