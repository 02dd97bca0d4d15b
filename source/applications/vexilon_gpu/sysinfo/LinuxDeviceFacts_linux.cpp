#include "sysinfo/LinuxDeviceFacts.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <time.h>
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

// The "NVRM version:" line of /proc/driver/nvidia/version, without its
// label; empty when there is none.
std::string ReadNvrmLine(const SystemTree& tree)
{
    std::string text;
    if (!tree.ReadFile("/proc/driver/nvidia/version", text)) {
        return std::string();
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, 13, "NVRM version:") == 0) {
            return line.substr(13);
        }
    }
    return std::string();
}

// The kernel module's version in its NVRM line: the first word that looks
// like "550.54.15".
std::string ReadNvrmVersion(const SystemTree& tree)
{
    std::istringstream words(ReadNvrmLine(tree));
    std::string word;
    while (words >> word) {
        const bool digitsAndDots = std::all_of(word.begin(), word.end(), [](char c) {
            return c == '.' || std::isdigit(static_cast<unsigned char>(c)) != 0;
        });
        if (digitsAndDots && std::isdigit(static_cast<unsigned char>(word[0])) && word.find('.') != std::string::npos) {
            return word;
        }
    }
    return std::string();
}

// The kernel module's build date, which closes its NVRM line ("...  550.54.15
// Thu Oct 19 18:56:32 UTC 2023"; the open module puts its build host between),
// as a CIM date "20231019000000.000000-000"; empty when the line names none.
std::string ReadNvrmDate(const SystemTree& tree)
{
    const std::string line = ReadNvrmLine(tree);
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == ' ' || (at > 0 && line[at - 1] != ' ')) {
            continue;  // not the start of a word
        }
        for (const char* form : {"%a %b %d %H:%M:%S %Z %Y", "%a %b %d %H:%M:%S %Y"}) {
            std::tm date{};
            const char* end = ::strptime(line.c_str() + at, form, &date);
            if (end != nullptr && std::all_of(end, line.c_str() + line.size(), [](char c) {
                    return std::isspace(static_cast<unsigned char>(c)) != 0;
                })) {
                char text[32];
                std::snprintf(text, sizeof text, "%04d%02d%02d000000.000000-000", date.tm_year + 1900,
                              date.tm_mon + 1, date.tm_mday);
                return text;
            }
        }
    }
    return std::string();
}

// The NVIDIA driver's release: its module's version, the one /proc names,
// else NVML's (containers often mount neither file); the module's build date.
void AddNvidiaRelease(const SystemTree& tree, DeviceFacts& facts)
{
    facts.kernelDriverVersion = ReadModuleVersion(tree, "nvidia");
    if (facts.kernelDriverVersion.empty()) {
        facts.kernelDriverVersion = ReadNvrmVersion(tree);
    }
    facts.driverVersion = facts.kernelDriverVersion.empty() ? tree.NvidiaDriverVersion() : facts.kernelDriverVersion;
    facts.driverDate = ReadNvrmDate(tree);
}

// The "GPU UUID:" line of the driver's information file, its digits in lower
// case as UuidText writes them; empty without one.
std::string ReadNvidiaUuid(const SystemTree& tree, const std::string& pciAddress)
{
    std::string text;
    if (!tree.ReadFile("/proc/driver/nvidia/gpus/" + pciAddress + "/information", text)) {
        return std::string();
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first, second, uuid;
        if (words >> first >> second >> uuid && first == "GPU" && second == "UUID:" &&
            uuid.compare(0, 4, "GPU-") == 0) {
            std::transform(uuid.begin() + 4, uuid.end(), uuid.begin() + 4, [](char c) {
                return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            });
            return uuid;
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

// What sysfs says of the device in `device` (a device directory): PCI ids,
// address, driver, and in `module` the driver's kernel module.
DeviceFacts LinuxDeviceFacts::SysfsDevice(const SystemTree& tree, const std::string& device, std::string& module)
{
    DeviceFacts facts;
    facts.vendorID = ReadPciId(tree, device + "/vendor");
    facts.deviceID = ReadPciId(tree, device + "/device");
    facts.pciAddress = CanonicalPciAddress(LastComponent(tree.ResolvePath(device)));
    facts.driver = LastComponent(tree.ResolvePath(device + "/driver"));
    // A driver's module usually shares its name; the link says so when it does not.
    module = LastComponent(tree.ResolvePath(device + "/driver/module"));
    if (module.empty()) {
        module = facts.driver;
    }
    return facts;
}

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

std::string LinuxDeviceFacts::CanonicalPciAddress(const std::string& text)
{
    std::uint64_t parts[4];
    if (!ParsePciAddress(text, parts)) {
        return std::string();
    }
    char canonical[32];
    std::snprintf(canonical, sizeof canonical, "%04llx:%02llx:%02llx.%llx", static_cast<unsigned long long>(parts[0]),
                  static_cast<unsigned long long>(parts[1]), static_cast<unsigned long long>(parts[2]),
                  static_cast<unsigned long long>(parts[3]));
    return canonical;
}

std::string LinuxDeviceFacts::UuidText(const std::string& bytes)
{
    if (bytes.size() != 16) {
        return std::string();
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string text = "GPU-";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text += '-';
        }
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
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
    const std::string node = LastComponent(nodePath);
    if (node.empty() || node == "." || node == "..") {
        return DeviceFacts();
    }
    const std::string device = "/sys/class/drm/" + node + "/device";
    std::string module;
    DeviceFacts facts = SysfsDevice(tree, device, module);
    // The DRM interface's version and date never change with a release of
    // the driver: only the kernel driver's own version falls back on it.
    SystemTree::DrmVersion drm;
    facts.kernelDriverVersion = ReadModuleVersion(tree, module);
    if (facts.kernelDriverVersion.empty() && tree.DrmDriverVersion(nodePath, drm)) {
        facts.kernelDriverVersion = DrmVersionText(drm);
    }
    if (facts.vendorID == kNvidiaVendorID && facts.driver == "nvidia") {
        AddNvidiaRelease(tree, facts);
    }
    facts.memoryBytes = MemoryBytesAt(tree, device, facts.pciAddress, facts.vendorID);
    return facts;
}

DeviceFacts LinuxDeviceFacts::ForPciAddress(const SystemTree& tree, const std::string& pciAddress)
{
    if (CanonicalPciAddress(pciAddress) != pciAddress) {
        return DeviceFacts();
    }
    const std::string device = "/sys/bus/pci/devices/" + pciAddress;
    if (ReadPciId(tree, device + "/vendor") == kNvidiaVendorID) {
        return ForNvidiaGpu(tree, pciAddress);
    }
    std::string module;
    DeviceFacts facts = SysfsDevice(tree, device, module);
    facts.pciAddress = pciAddress;
    facts.kernelDriverVersion = ReadModuleVersion(tree, module);
    facts.memoryBytes = MemoryBytesAt(tree, device, pciAddress, facts.vendorID);
    return facts;
}

DeviceFacts LinuxDeviceFacts::ForNvidiaGpu(const SystemTree& tree, const std::string& pciAddress)
{
    DeviceFacts facts;
    if (CanonicalPciAddress(pciAddress) != pciAddress) {
        return facts;
    }
    facts.vendorID = kNvidiaVendorID;
    facts.deviceID = ReadPciId(tree, "/sys/bus/pci/devices/" + pciAddress + "/device");
    facts.pciAddress = pciAddress;
    facts.driver = "nvidia";
    AddNvidiaRelease(tree, facts);
    facts.memoryBytes = MemoryBytes(tree, pciAddress, kNvidiaVendorID);
    facts.uuid = ReadNvidiaUuid(tree, pciAddress);
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

    std::vector<DeviceFacts> gpus;
    for (const auto& address : addresses) {
        gpus.push_back(ForNvidiaGpu(tree, CanonicalPciAddress(address.second)));
    }
    return gpus;
}
