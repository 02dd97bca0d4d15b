#pragma once

#include "sysinfo/DeviceFacts.h"
#include "sysinfo/SystemTree.h"

#include <cstdint>
#include <string>
#include <vector>

// The system's facts about the GPUs of a Linux machine, from sysfs, /proc, the
// DRM driver and NVIDIA's own interfaces, all read through a SystemTree.
// Whatever cannot be read or makes no sense stays unknown.
class LinuxDeviceFacts {
public:
    // Facts of the GPU behind a DRM node ("/dev/dri/card0" or "/dev/dri/renderD128").
    static DeviceFacts ForDrmNode(const SystemTree& tree, const std::string& nodePath);
    // Facts of the PCI device at `pciAddress` (canonical, see CanonicalPciAddress)
    // from sysfs; an NVIDIA GPU's as ForNvidiaGpu gives them.
    static DeviceFacts ForPciAddress(const SystemTree& tree, const std::string& pciAddress);
    // The NVIDIA GPU at `pciAddress` (canonical): its driver's facts, the device id
    // from sysfs, the UUID from /proc/driver/nvidia. Usable where only some are readable.
    static DeviceFacts ForNvidiaGpu(const SystemTree& tree, const std::string& pciAddress);
    // NVIDIA GPUs known to the NVIDIA driver (/proc/driver/nvidia/gpus/*), in PCI bus order,
    // whether or not they have a DRM node.
    static std::vector<DeviceFacts> NvidiaGpus(const SystemTree& tree);
    // The system's memory figure of the PCI device at `pciAddress`: amdgpu's
    // VRAM size, or NVML's total for an NVIDIA GPU; 0 when neither is known.
    static std::uint64_t MemoryBytes(const SystemTree& tree, const std::string& pciAddress, std::uint32_t vendorID);

    // A PCI id file ("0x1002"); 0 when it is missing or not a 16-bit hexadecimal number.
    static std::uint32_t ReadPciId(const SystemTree& tree, const std::string& path);
    // "0000:01:00.0" in its parts (domain, bus, device, function); false for
    // anything that is not a PCI address.
    static bool ParsePciAddress(const std::string& text, std::uint64_t (&parts)[4]);
    // A PCI address in the form sysfs names devices ("0000:81:00.0"), whatever
    // case and domain width it came in ("00000000:81:00.0" from CUDA); empty
    // for anything that is not one. Equal addresses give equal texts.
    static std::string CanonicalPciAddress(const std::string& text);
    // NVIDIA's text of a 16-byte device UUID ("GPU-" and the bytes in order, in
    // lower-case hexadecimal, grouped 4-2-2-2-6); empty unless 16 bytes.
    static std::string UuidText(const std::string& bytes);

private:
    LinuxDeviceFacts() = delete;

    static DeviceFacts SysfsDevice(const SystemTree& tree, const std::string& device, std::string& module);
};
