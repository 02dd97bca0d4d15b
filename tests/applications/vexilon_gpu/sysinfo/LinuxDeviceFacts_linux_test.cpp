#include "sysinfo/LinuxDeviceFacts.h"

#include "FakeSysfsTree_linux.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <tuple>
#include <utility>
#include <vector>

namespace {

auto Fields(const DeviceFacts& facts)
{
    return std::tie(facts.vendorID, facts.deviceID, facts.pciAddress, facts.driver, facts.driverVersion,
                    facts.kernelDriverVersion, facts.driverDate, facts.memoryBytes, facts.uuid);
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

const char* const kNvrm = "NVRM version: NVIDIA UNIX x86_64 Kernel Module  535.129.03  Thu Oct 19 18:56:32 UTC 2023\n";

} // namespace

// Mesa's GPUs get no driver version or date here (their GL names Mesa's
// release), and the DRM interface's version is only the kernel driver's.
TEST(LinuxDeviceFacts, ForDrmNodeTakesEachFieldFromItsSource)
{
    const std::string huge(SystemTree::kMaxFileBytes + 1, '1');
    const DrmCase cases[] = {
        {"renderD128", "0000:03:00.0", "amdgpu",
         {{"DEV/vendor", "0x1002\n"}, {"DEV/device", "0x73bf\n"}, {"DEV/mem_info_vram_total", "8589934592\n"},
          {"/dev/dri/renderD128.drm-version", "amdgpu\n3.54.0\n20150101\n"}},
         {0x1002, 0x73bf, "0000:03:00.0", "amdgpu", "", "3.54.0", "", 8589934592ull}},
        {"card0", "0000:00:02.0", "i915",
         {{"DEV/vendor", "0x8086\n"}, {"DEV/device", "0x9a49\n"}, {"/sys/module/i915/version", "2 words\n"},
          {"/dev/dri/card0.drm-version", "i915\n1.6.0\n20201103\n"}},
         {0x8086, 0x9a49, "0000:00:02.0", "i915", "", "1.6.0", "", 0}},
        // A Southern Islands Radeon: no VRAM total in sysfs.
        {"card4", "0000:02:00.0", "radeon",
         {{"DEV/vendor", "0x1002\n"}, {"DEV/device", "0x6798\n"},
          {"/dev/dri/card4.drm-version", "radeon\n2.50.0\n20080528\n"}},
         {0x1002, 0x6798, "0000:02:00.0", "radeon", "", "2.50.0", "", 0}},
        {"card1", "0000:01:00.0", "nvidia",
         {{"DEV/vendor", "0x10de\n"}, {"DEV/device", "0x2330\n"}, {"/sys/module/nvidia/version", "535.129.03\n"},
          {"/proc/driver/nvidia/version", kNvrm}, {"/dev/dri/card1.drm-version", "nvidia-drm\n0.0.0\n20160202\n"},
          {"/nvml/0000:01:00.0", "85520809984\n"}},
         {0x10de, 0x2330, "0000:01:00.0", "nvidia", "535.129.03", "535.129.03", "20231019000000.000000-000",
          85520809984ull}},
        // Malformed files: no 0x, past 16 bits, negative, huge, no numbers.
        {"card2", "0000:05:00.0", "amdgpu",
         {{"DEV/vendor", "1002\n"}, {"DEV/device", "0x10000\n"}, {"DEV/mem_info_vram_total", "-1\n"},
          {"/sys/module/amdgpu/version", huge}, {"/dev/dri/card2.drm-version", "amdgpu\n3.a.0\n20150101\n"}},
         {0, 0, "0000:05:00.0", "amdgpu", "", "", "", 0}},
        {"card3", "0000:06:00.0", "bochs-drm",
         {{"DEV/vendor", ""}, {"/sys/module/bochs/version", "1.0\n"},
          {"/dev/dri/card3.drm-version", "bochs\n1.0.0\n2015\n"}},
         {0, 0, "0000:06:00.0", "bochs-drm", "", "1.0", "", 0}},
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

// The tables the stand-ins for libcuda and NVML answer from; null: unset.
void SetNvidiaTables(const char* cuda, const char* nvml)
{
    for (const auto& table : {std::make_pair("VEXILON_FAKE_CUDA", cuda), std::make_pair("VEXILON_FAKE_NVML", nvml)}) {
        table.second ? ::setenv(table.first, table.second, 1) : ::unsetenv(table.first);
    }
}

// The tree's NVIDIA libraries: the test's stand-ins.
void AddNvidiaLibraries(const FakeSysfsTree& fake)
{
    std::filesystem::create_directory_symlink(std::string(std::getenv("VEXILON_FIXTURES_DIR")) + "/nvidia",
                                              fake.Root() + "/lib");
}

TEST(LinuxDeviceFacts, NvidiaGpusComeInBusOrderWithTheModuleVersionFirst)
{
    const FakeSysfsTree fake;
    AddNvidiaLibraries(fake);
    SetNvidiaTables(nullptr, "560.35.03");
    const SystemTree tree(fake.Root());
    EXPECT_TRUE(LinuxDeviceFacts::NvidiaGpus(tree).empty());

    fake.Write("/proc/driver/nvidia/gpus/0000:41:00.0/information",
               "Model: \t\t NVIDIA A100\nGPU UUID: \t GPU-AbCdEf01-2345-6789-abcd-ef0123456789\n");
    fake.Write("/proc/driver/nvidia/gpus/0000:01:00.0/information", "Bus Location: \t 0000:01:00.0\n");
    fake.Write("/proc/driver/nvidia/gpus/junk/information", "");
    fake.Write("/sys/bus/pci/devices/0000:01:00.0/device", "0x2330\n");
    fake.Write("/sys/bus/pci/devices/0000:41:00.0/device", "0x20b0\n");
    fake.Write("/nvml/0000:41:00.0", "42949672960\n");
    // The module's version, else the one /proc names, else NVML's (containers);
    // the date the module was built, where its /proc line ends with one.
    const std::string open = "NVRM version: NVIDIA UNIX Open Kernel Module for x86_64  550.54.15  Release Build  "
                             "(dvs-builder@U16-I3-B03-4-3)  Tue Mar  5 03:26:12 UTC 2024\n";
    // Module, /proc line; the driver's version, the kernel module's, its date.
    const std::tuple<const char*, std::string, const char*, const char*, const char*> versions[] = {
        {"", open, "550.54.15", "550.54.15", "20240305000000.000000-000"},
        {"555.42.02", kNvrm, "555.42.02", "555.42.02", "20231019000000.000000-000"},
        {"", "", "560.35.03", "", ""}};
    for (const auto& [module, proc, driver, kernel, date] : versions) {
        fake.Write("/sys/module/nvidia/version", module);
        fake.Write("/proc/driver/nvidia/version", proc);
        const std::vector<DeviceFacts> gpus = LinuxDeviceFacts::NvidiaGpus(tree);
        ASSERT_EQ(2u, gpus.size());
        EXPECT_EQ(Fields(DeviceFacts{0x10de, 0x2330, "0000:01:00.0", "nvidia", driver, kernel, date}), Fields(gpus[0]));
        EXPECT_EQ(Fields(DeviceFacts{0x10de, 0x20b0, "0000:41:00.0", "nvidia", driver, kernel, date, 42949672960ull,
                                     "GPU-abcdef01-2345-6789-abcd-ef0123456789"}),
                  Fields(gpus[1]));
    }
}

TEST(SystemTree, NvidiaQuestionsGoToTheTreesLibraries)
{
    const FakeSysfsTree fake;
    const std::string uuid = "GPU-00010203-0405-0607-0809-0a0b0c0d0e0f";
    AddNvidiaLibraries(fake);
    const std::string nvml = "550.54.15 GPU-x=0000:01:00.0 " + uuid + "=00000000:A1:00.0";
    SetNvidiaTables("00000000:A1:00.0 00000000:41:00.0", nvml.c_str());
    const SystemTree tree(fake.Root());
    EXPECT_EQ("00000000:41:00.0", tree.CudaPciAddress(1));
    EXPECT_EQ("", tree.CudaPciAddress(2));
    EXPECT_EQ("00000000:A1:00.0", tree.NvidiaPciAddressOfUuid(uuid));
    EXPECT_EQ("550.54.15", tree.NvidiaDriverVersion());
    EXPECT_EQ("", SystemTree(FakeSysfsTree().Root()).CudaPciAddress(0));  // no libraries at all
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
    // Addresses and their canonical texts; "": not an address.
    const std::pair<const char*, const char*> addresses[] = {
        {"0000:01:00.0", "0000:01:00.0"}, {"10000:e1:1f.7", "10000:e1:1f.7"}, {"00000000:A1:00.0", "0000:a1:00.0"},
        {"0000:01:00", ""}, {"0000:01:20.0", ""}, {"0000:01:00.8", ""}, {"0000:001:00.0", ""}, {"0000::00.0", ""},
        {"card0", ""}};
    for (const auto& address : addresses) {
        std::uint64_t parts[4];
        EXPECT_EQ(*address.second != 0, LinuxDeviceFacts::ParsePciAddress(address.first, parts)) << address.first;
        EXPECT_EQ(address.second, LinuxDeviceFacts::CanonicalPciAddress(address.first)) << address.first;
    }
    const std::string bytes("\x00\xff\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e", 16);
    EXPECT_EQ("GPU-00ff0102-0304-0506-0708-090a0b0c0d0e", LinuxDeviceFacts::UuidText(bytes));
    EXPECT_EQ("", LinuxDeviceFacts::UuidText(std::string("\x00\xff\x01", 3)));
}
