#include "sysinfo/PciDisplayControllers.h"

#include "sysinfo/LinuxDeviceFacts.h"

extern "C" {
#include <pci/pci.h>
}

#include <algorithm>
#include <ostream>

namespace {

const std::uint64_t kDisplayControllerClass = 0x03;

// The ids database's complaints would only say that names are missing, which
// the numbers in their place already show.
void IgnorePciWarning(char*, ...) {}

// A libpci access, cleaned up with the object.
class PciAccess {
public:
    PciAccess() : pAccess_(pci_alloc()) {}
    ~PciAccess() { pci_cleanup(pAccess_); }
    pci_access* get() const { return pAccess_; }

private:
    PciAccess(const PciAccess&) = delete;
    PciAccess& operator=(const PciAccess&) = delete;

    pci_access* pAccess_;
};

} // namespace

PciDisplayControllers::PciDisplayControllers(const SystemTree& tree) : tree_(tree) {}

std::vector<PciDisplayControllers::Controller> PciDisplayControllers::Controllers() const
{
    std::vector<Controller> controllers;
    for (const std::string& address : tree_.ListDirectory("/sys/bus/pci/devices")) {
        Controller controller;
        std::uint64_t classCode = 0;
        const std::string directory = "/sys/bus/pci/devices/" + address;
        // "0x030000": base class, subclass and programming interface.
        if (!LinuxDeviceFacts::ParsePciAddress(address, controller.uBusOrder) ||
            !tree_.ReadNumber(directory + "/class", 16, classCode) || classCode > 0xFFFFFF ||
            (classCode >> 16) != kDisplayControllerClass) {
            continue;
        }
        controller.sAddress = address;
        controller.uVendorID = LinuxDeviceFacts::ReadPciId(tree_, directory + "/vendor");
        controller.uDeviceID = LinuxDeviceFacts::ReadPciId(tree_, directory + "/device");
        controllers.push_back(controller);
    }
    std::sort(controllers.begin(), controllers.end(), [](const Controller& left, const Controller& right) {
        return std::lexicographical_compare(left.uBusOrder, left.uBusOrder + 4, right.uBusOrder, right.uBusOrder + 4);
    });
    return controllers;
}

std::vector<std::string> PciDisplayControllers::Names(const std::vector<Controller>& controllers) const
{
    std::vector<std::string> names;
    // The running system's database is wherever libpci was built to look
    // (and udev's hardware database); a stand-in tree answers from its own file only.
    std::string idsFile = tree_.HostPath("/usr/share/misc/pci.ids");
    const PciAccess access;
    pci_access* pci = access.get();
    pci->warning = &IgnorePciWarning;
    if (!tree_.IsRunningSystem()) {
        pci_set_name_list_path(pci, &idsFile[0], 0);
        pci->id_lookup_mode |= PCI_LOOKUP_NO_HWDB;
    }
    pci->method = PCI_ACCESS_SYS_BUS_PCI;
    pci_init(pci);
    for (const Controller& controller : controllers) {
        char buffer[1024];
        const char* name = pci_lookup_name(pci, buffer, sizeof buffer, PCI_LOOKUP_VENDOR | PCI_LOOKUP_DEVICE,
                                           static_cast<int>(controller.uVendorID),
                                           static_cast<int>(controller.uDeviceID));
        names.push_back(name ? name : "");
    }
    return names;
}

int PciDisplayControllers::Print(std::ostream& out) const
{
    const std::vector<Controller> controllers = Controllers();
    if (controllers.empty()) {
        return 0;
    }
    const std::vector<std::string> names = Names(controllers);
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        const std::uint64_t bytes =
            LinuxDeviceFacts::MemoryBytes(tree_, controllers[i].sAddress, controllers[i].uVendorID);
        out << "Device: " << names[i] << " has video RAM(MB): " << (bytes >> 20) << std::endl;
    }
    return 0;
}
