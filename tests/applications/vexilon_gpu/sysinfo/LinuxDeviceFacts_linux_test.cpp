#include "sysinfo/LinuxDeviceFacts.h"

#include "FakeSysfsTree_linux.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace {

auto Fields(const DeviceFacts& facts)
{
    return std::tie(facts.vendorID, facts.deviceID, facts.pciAddress, facts.driver, facts.driverVersion,
                    facts.driverDate, facts.memoryBytes);
}

// A PCI GPU as sysfs shows it: the device directory, its bus and DRM class
// links, and its driver's link to the driver's module ("bochs-drm": "bochs").
void AddDrmGpu(const FakeSysfsTree& tree, const std::string& node, const std::string& address,
               const std::string& driver)
{
    const std::string device = "/sys/devices/pci0000:00/" + address;
    tree.Link("/sys/bus/pci/devices/" + address, device);
    tree.Link("/sys/class/drm/" + node, device + "/drm/" + node);
    tree.Link(device + "/drm/" + node + "/device", device);
    tree.Link(device + "/driver", "/sys/bus/pci/drivers/" + driver);
    tree.Link("/sys/bus/pci/drivers/" + driver + "/module", "/sys/module/" + driver.substr(0, driver.find('-')));
}

struct DrmCase {
    const char* node;
    const char* address;
    const char* driver;
    // Paths beginning with "DEV" lie in the device's directory.
    std::vector<std::pair<std::string, std::string>> files;
    DeviceFacts expected;
};

} // namespace

TEST(LinuxDeviceFacts, ForDrmNodeTakesEachFieldFromItsSource)
{
    const std::string huge(SystemTree::kMaxFileBytes + 1, '1');
    const DrmCase cases[] = {
        {"renderD128", "0000:03:00.0", "amdgpu",
         {{"DEV/vendor", "0x1002\n"}, {"DEV/device", "0x73bf\n"}, {"DEV/mem_info_vram_total", "8589934592\n"},
          {"/dev/dri/renderD128.drm-version", "amdgpu\n3.54.0\n20150101\n"}},
         {0x1002, 0x73bf, "0000:03:00.0", "amdgpu", "3.54.0", "20150101", 8589934592ull}},
        {"card0", "0000:00:02.0", "i915",
         {{"DEV/vendor", "0x8086\n"}, {"DEV/device", "0x9a49\n"}, {"/sys/module/i915/version", "2 words\n"},
          {"/dev/dri/card0.drm-version", "i915\n1.6.0\n20201103\n"}},
         {0x8086, 0x9a49, "0000:00:02.0", "i915", "1.6.0", "20201103", 0}},
        {"card1", "0000:01:00.0", "nvidia",
         {{"DEV/vendor", "0x10de\n"}, {"DEV/device", "0x2330\n"}, {"/sys/module/nvidia/version", "550.54.15\n"},
          {"/dev/dri/card1.drm-version", "nvidia-drm\n0.0.0\n20160202\n"}, {"/nvml/0000:01:00.0", "85520809984\n"}},
         {0x10de, 0x2330, "0000:01:00.0", "nvidia", "550.54.15", "20160202", 85520809984ull}},
        // Malformed files: no 0x, past 16 bits, negative, huge, no numbers.
        {"card2", "0000:05:00.0", "amdgpu",
         {{"DEV/vendor", "1002\n"}, {"DEV/device", "0x10000\n"}, {"DEV/mem_info_vram_total", "-1\n"},
          {"/sys/module/amdgpu/version", huge}, {"/dev/dri/card2.drm-version", "amdgpu\n3.a.0\n20150101\n"}},
         {0, 0, "0000:05:00.0", "amdgpu", "", "", 0}},
        {"card3", "0000:06:00.0", "bochs-drm",
         {{"DEV/vendor", ""}, {"/sys/module/bochs/version", "1.0\n"},
          {"/dev/dri/card3.drm-version", "bochs\n1.0.0\n2015\n"}},
         {0, 0, "0000:06:00.0", "bochs-drm", "1.0", "", 0}},
    };
    for (const DrmCase& test : cases) {
        SCOPED_TRACE(test.node);
        const FakeSysfsTree fake;
        AddDrmGpu(fake, test.node, test.address, test.driver);
        for (const auto& file : test.files) {
            const bool inDevice = file.first.compare(0, 3, "DEV") == 0;
            fake.Write(inDevice ? "/sys/devices/pci0000:00/" + std::string(test.address) + file.first.substr(3)
                                : file.first,
                       file.second);
        }
        const SystemTree tree(fake.Root());
        const std::string node = std::string("/dev/dri/") + test.node;
        EXPECT_EQ(Fields(test.expected), Fields(LinuxDeviceFacts::ForDrmNode(tree, node)));
        EXPECT_EQ(Fields(DeviceFacts()), Fields(LinuxDeviceFacts::ForDrmNode(tree, "/dev/dri/card9")));
    }
}

TEST(LinuxDeviceFacts, NvidiaGpusComeInBusOrderWithTheModuleVersionFirst)
{
    const FakeSysfsTree fake;
    const SystemTree tree(fake.Root());
    EXPECT_TRUE(LinuxDeviceFacts::NvidiaGpus(tree).empty());

    fake.Write("/proc/driver/nvidia/gpus/0000:41:00.0/information", "Model: \t\t NVIDIA A100\n");
    fake.Write("/proc/driver/nvidia/gpus/0000:01:00.0/information", "Bus Location: \t 0000:01:00.0\n");
    fake.Write("/proc/driver/nvidia/gpus/junk/information", "");
    fake.Write("/sys/bus/pci/devices/0000:01:00.0/device", "0x2330\n");
    fake.Write("/sys/bus/pci/devices/0000:41:00.0/device", "0x20b0\n");
    fake.Write("/nvml/0000:41:00.0", "42949672960\n");
    fake.Write("/proc/driver/nvidia/version",
               "NVRM version: NVIDIA UNIX x86_64 Kernel Module  550.54.15  Tue Mar  5 22:23:56 UTC 2024\n");
    for (const char* moduleVersion : {"", "555.42.02"}) {
        const std::string version = *moduleVersion ? moduleVersion : "550.54.15";
        fake.Write("/sys/module/nvidia/version", moduleVersion);
        const std::vector<DeviceFacts> gpus = LinuxDeviceFacts::NvidiaGpus(tree);
        ASSERT_EQ(2u, gpus.size());
        EXPECT_EQ(Fields(DeviceFacts{0x10de, 0x2330, "0000:01:00.0", "nvidia", version, "", 0}), Fields(gpus[0]));
        EXPECT_EQ(Fields(DeviceFacts{0x10de, 0x20b0, "0000:41:00.0", "nvidia", version, "", 42949672960ull}),
                  Fields(gpus[1]));
    }
}

TEST(LinuxDeviceFacts, NumbersAndPciAddressesAreParsedStrictly)
{
    const std::tuple<const char*, int, bool, std::uint64_t> numbers[] = {
        {"0x10DE", 16, true, 0x10de}, {"10de", 16, false, 0}, {"0x", 16, false, 0}, {"0x1g", 16, false, 0},
        {"18446744073709551615", 10, true, UINT64_MAX}, {"18446744073709551616", 10, false, 0},
        {"0x1ffffffffffffffff", 16, false, 0}, {"", 10, false, 0}, {" 1", 10, false, 0}, {"-1", 10, false, 0}};
    for (const auto& number : numbers) {
        std::uint64_t value = 7;
        EXPECT_EQ(std::get<2>(number), SystemTree::ParseNumber(std::get<0>(number), std::get<1>(number), value))
            << std::get<0>(number);
        EXPECT_EQ(std::get<3>(number), value) << std::get<0>(number);
    }
    const std::pair<const char*, bool> addresses[] = {
        {"0000:01:00.0", true}, {"10000:e1:1f.7", true}, {"0000:01:00", false}, {"0000:01:20.0", false},
        {"0000:01:00.8", false}, {"0000:001:00.0", false}, {"0000::00.0", false}, {"card0", false}};
    for (const auto& address : addresses) {
        std::uint64_t parts[4];
        EXPECT_EQ(address.second, LinuxDeviceFacts::ParsePciAddress(address.first, parts)) << address.first;
    }
}
