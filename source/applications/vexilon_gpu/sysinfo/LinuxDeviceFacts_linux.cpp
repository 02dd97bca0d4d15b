#include "sysinfo/LinuxDeviceFacts.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <utility>

namespace {

const std::uint32_t kNvidiaVendorID = 0x10DE;

// The last component of a path; empty for "/" or an empty path.
std::string LastComponent(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}


// A module's published version: one line of printable text without blanks
// ("550.54.15"); empty when there is none.
std::string ReadModuleVersion(const SystemTree& tree, const std::string& module)
{
    std::string line;
    if (module.empty() || !tree.ReadLine("/sys/module/" + module + "/version", line)) {
        return std::string();
    }
    const bool printable = std::all_of(line.begin(), line.end(), [](char c) {
        return std::isgraph(static_cast<unsigned char>(c)) != 0;
    });
    return printable ? line : std::string();
}

// The kernel module's version from the "NVRM version:" line of
// /proc/driver/nvidia/version: its first word that looks like "550.54.15".
std::string ReadNvrmVersion(const SystemTree& tree)
{
    std::string text;
    if (!tree.ReadFile("/proc/driver/nvidia/version", text)) {
        return std::string();
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, 13, "NVRM version:") != 0) {
            continue;
        }
        std::istringstream words(line.substr(13));
        std::string word;
        while (words >> word) {
            const bool digitsAndDots = std::all_of(word.begin(), word.end(), [](char c) {
                return c == '.' || std::isdigit(static_cast<unsigned char>(c)) != 0;
            });
            if (digitsAndDots && std::isdigit(static_cast<unsigned char>(word[0])) &&
                word.find('.') != std::string::npos) {
                return word;
            }
        }
    }
    return std::string();
}

std::string DrmVersionText(const SystemTree::DrmVersion& version)
{
    std::ostringstream text;
    text << version.major << '.' << version.minor << '.' << version.patchlevel;
    return text.str();
}

// The kernel writes "YYYYMMDD"; anything else is no date.
std::string DrmDate(const SystemTree::DrmVersion& version)
{
    const std::string& date = version.date;
    const bool valid = date.size() == 8 && std::all_of(date.begin(), date.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    return valid ? date : std::string();
}

// The system's memory figure of the device whose sysfs directory is `deviceDirectory`.
std::uint64_t MemoryBytesAt(const SystemTree& tree, const std::string& deviceDirectory, const std::string& pciAddress,
                            std::uint32_t vendorID)
{
    std::uint64_t bytes = 0;
    if (tree.ReadNumber(deviceDirectory + "/mem_info_vram_total", 10, bytes)) {
        return bytes;
    }
    if (vendorID == kNvidiaVendorID && !pciAddress.empty() && tree.NvidiaMemoryBytes(pciAddress, bytes)) {
        return bytes;
    }
    return 0;
}

} // namespace

std::uint32_t LinuxDeviceFacts::ReadPciId(const SystemTree& tree, const std::string& path)
{
    std::uint64_t value = 0;
    return tree.ReadNumber(path, 16, value) && value <= 0xFFFF ? static_cast<std::uint32_t>(value) : 0;
}

bool LinuxDeviceFacts::ParsePciAddress(const std::string& text, std::uint64_t (&parts)[4])
{
    // Domains may be wider than four digits; the others have fixed widths.
    const char separators[] = {':', ':', '.'};
    const std::size_t maxDigits[] = {8, 2, 2, 1};
    std::size_t position = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t end = i < 3 ? text.find(separators[i], position) : text.size();
        if (end == std::string::npos || end == position || end - position > maxDigits[i] ||
            !SystemTree::ParseNumber("0x" + text.substr(position, end - position), 16, parts[i])) {
            return false;
        }
        position = end + 1;
    }
    return parts[2] < 32 && parts[3] < 8;
}

std::uint64_t LinuxDeviceFacts::MemoryBytes(const SystemTree& tree, const std::string& pciAddress,
                                            std::uint32_t vendorID)
{
    std::uint64_t parts[4];
    if (!ParsePciAddress(pciAddress, parts)) {
        return 0;
    }
    return MemoryBytesAt(tree, "/sys/bus/pci/devices/" + pciAddress, pciAddress, vendorID);
}

DeviceFacts LinuxDeviceFacts::ForDrmNode(const SystemTree& tree, const std::string& nodePath)
{
    DeviceFacts facts;
    const std::string node = LastComponent(nodePath);
    if (node.empty() || node == "." || node == "..") {
        return facts;
    }
    const std::string device = "/sys/class/drm/" + node + "/device";
    facts.vendorID = ReadPciId(tree, device + "/vendor");
    facts.deviceID = ReadPciId(tree, device + "/device");

    std::uint64_t parts[4];
    const std::string address = LastComponent(tree.ResolvePath(device));
    if (ParsePciAddress(address, parts)) {
        facts.pciAddress = address;
    }
    facts.driver = LastComponent(tree.ResolvePath(device + "/driver"));
    // A driver's module usually shares its name; the link says so when it does not.
    std::string module = LastComponent(tree.ResolvePath(device + "/driver/module"));
    if (module.empty()) {
        module = facts.driver;
    }

    SystemTree::DrmVersion drm;
    const bool drmKnown = tree.DrmDriverVersion(nodePath, drm);
    facts.driverVersion = ReadModuleVersion(tree, module);
    if (facts.driverVersion.empty() && drmKnown) {
        facts.driverVersion = DrmVersionText(drm);
    }
    if (drmKnown) {
        facts.driverDate = DrmDate(drm);
    }
    facts.memoryBytes = MemoryBytesAt(tree, device, facts.pciAddress, facts.vendorID);
    return facts;
}

std::vector<DeviceFacts> LinuxDeviceFacts::NvidiaGpus(const SystemTree& tree)
{
    std::vector<std::pair<std::vector<std::uint64_t>, std::string>> addresses;
    for (const std::string& name : tree.ListDirectory("/proc/driver/nvidia/gpus")) {
        std::uint64_t parts[4];
        if (ParsePciAddress(name, parts)) {
            addresses.emplace_back(std::vector<std::uint64_t>(parts, parts + 4), name);
        }
    }
    std::sort(addresses.begin(), addresses.end());

    std::string driverVersion = ReadModuleVersion(tree, "nvidia");
    if (driverVersion.empty()) {
        driverVersion = ReadNvrmVersion(tree);
    }
    std::vector<DeviceFacts> gpus;
    for (const auto& address : addresses) {
        DeviceFacts facts;
        facts.vendorID = kNvidiaVendorID;
        facts.deviceID = ReadPciId(tree, "/sys/bus/pci/devices/" + address.second + "/device");
        facts.pciAddress = address.second;
        facts.driver = "nvidia";
        facts.driverVersion = driverVersion;
        facts.memoryBytes = MemoryBytes(tree, address.second, kNvidiaVendorID);
        gpus.push_back(facts);
    }
    return gpus;
}
