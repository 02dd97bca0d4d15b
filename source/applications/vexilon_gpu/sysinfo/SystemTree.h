#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class NvidiaLibraries;

// The seam for every sysfs, /proc and DRM read. Paths are given as on the
// running system ("/sys/class/drm/card0/device/vendor") and are looked up
// below the root. The root "/" is the running system: DRM versions come from
// the kernel through libdrm, and NVIDIA's answers from the system's libcuda and
// NVML. Any other root is a stand-in tree, which answers from plain files and
// libraries of its own:
//   <root><node>.drm-version   three lines: the driver's name,
//                              "major.minor.patchlevel" and its date,
//                              e.g. <root>/dev/dri/card0.drm-version
//   <root>/nvml/<pci address>  the GPU's total memory in bytes, in decimal,
//                              e.g. <root>/nvml/0000:01:00.0
//   <root>/lib/libcuda.so.1, <root>/lib/libnvidia-ml.so.1
//                              CUDA and NVML for the other NVIDIA questions
class SystemTree {
public:
    // What the DRM driver behind a node says about itself.
    struct DrmVersion {
        std::string name;
        int major = 0;
        int minor = 0;
        int patchlevel = 0;
        std::string date;
    };

    // Larger files are not sysfs or /proc attributes; they read as failures.
    static constexpr std::size_t kMaxFileBytes = 64 * 1024;

    explicit SystemTree(const std::string& root = "/");
    virtual ~SystemTree();

    bool IsRunningSystem() const { return sRoot_.empty(); }
    // Where `path` lies on this machine's file system.
    std::string HostPath(const std::string& path) const;

    // The whole file; false when it is missing, unreadable or larger than kMaxFileBytes.
    bool ReadFile(const std::string& path, std::string& text) const;
    // The directory's entries without "." and "..", sorted; empty when it cannot be read.
    std::vector<std::string> ListDirectory(const std::string& path) const;
    // The file's first line without surrounding blanks; false when the file
    // cannot be read or that line is empty.
    bool ReadLine(const std::string& path, std::string& line) const;
    // The file's first line as a number (see ParseNumber); false when it is not one.
    bool ReadNumber(const std::string& path, int base, std::uint64_t& value) const;
    // Where `path` leads once every link is followed, as a path of this tree;
    // empty when it leads nowhere or out of the tree.
    std::string ResolvePath(const std::string& path) const;

    // The DRM driver version of a device node ("/dev/dri/card0"); false when
    // the node cannot be opened or asked.
    virtual bool DrmDriverVersion(const std::string& nodePath, DrmVersion& version) const;
    // NVIDIA's total memory of the GPU at a PCI address; false when NVML is
    // missing or does not know the GPU.
    virtual bool NvidiaMemoryBytes(const std::string& pciAddress, std::uint64_t& bytes) const;
    // NVML's driver version; empty when NVML is missing.
    virtual std::string NvidiaDriverVersion() const;
    // NVML's PCI address of the GPU with this UUID ("GPU-..."), as NVML writes it; empty when unknown.
    virtual std::string NvidiaPciAddressOfUuid(const std::string& uuid) const;
    // CUDA's PCI address of its device `ordinal` in this process, as CUDA writes it; empty when unknown.
    virtual std::string CudaPciAddress(int ordinal) const;

    // Strict number texts, as the kernel writes them: decimal digits, or for
    // base 16 "0x" and hexadecimal digits; false for anything else or an overflow.
    static bool ParseNumber(const std::string& text, int base, std::uint64_t& value);

private:
    // What the stand-in tree's files say in place of libdrm and NVML.
    bool DrmDriverVersionFromFile(const std::string& nodePath, DrmVersion& version) const;
    bool NvidiaMemoryBytesFromFile(const std::string& pciAddress, std::uint64_t& bytes) const;
    // NVIDIA's libraries, loaded on the first question.
    NvidiaLibraries& Nvidia() const;

    // Empty for the running system, else the tree's directory without a trailing '/'.
    std::string sRoot_;
    mutable std::unique_ptr<NvidiaLibraries> apNvidia_;
};
