#include "sysinfo/PciDisplayControllers.h"

#include "FakeSysfsTree_linux.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(PciDisplayControllers, ListsClass03InBusOrderWithNamesAndSystemMemory)
{
    const FakeSysfsTree fake;
    const struct {
        const char* address;
        const char* ids[3];  // class, vendor, device
    } devices[] = {{"0000:41:00.0", {"0x030200", "0x10de", "0x2330"}},
                   {"0000:03:00.0", {"0x030000", "0x1002", "0x73bf"}},
                   {"0000:00:1f.3", {"0x040300", "0x8086", "0xa0c8"}},
                   {"0000:00:02.0", {"0x030000", "0x8086", "0x9a49"}},
                   {"junk", {"0x030000", "0x8086", "0x9a49"}}};
    for (const auto& device : devices) {
        const char* names[] = {"class", "vendor", "device"};
        for (int i = 0; i < 3; ++i) {
            fake.Write(std::string("/sys/bus/pci/devices/") + device.address + "/" + names[i],
                       device.ids[i] + std::string("\n"));
        }
    }
    fake.Write("/sys/bus/pci/devices/0000:03:00.0/mem_info_vram_total", "8589934592\n");
    fake.Write("/nvml/0000:41:00.0", "85520809984\n");
    const SystemTree tree(fake.Root());

    // Without an ids database libpci's numbers stand in for the names.
    const std::string ids = "# comment\n1002  Advanced Micro Devices\n\t73bf  Navi 21\n8086  Intel Corporation\n"
                            "\t9a49  TigerLake-LP GT2\n10de  NVIDIA Corporation\n";
    const char* expected[] = {
        "Device: Device 8086:9a49 has video RAM(MB): 0\n"
        "Device: Device 1002:73bf has video RAM(MB): 8192\n"
        "Device: Device 10de:2330 has video RAM(MB): 81559\n",
        "Device: Intel Corporation TigerLake-LP GT2 has video RAM(MB): 0\n"
        "Device: Advanced Micro Devices Navi 21 has video RAM(MB): 8192\n"
        "Device: NVIDIA Corporation Device 2330 has video RAM(MB): 81559\n"};
    for (const char* lines : expected) {
        std::ostringstream out;
        EXPECT_EQ(0, PciDisplayControllers(tree).Print(out));
        EXPECT_EQ(lines, out.str());
        fake.Write("/usr/share/misc/pci.ids", ids);
    }
}
