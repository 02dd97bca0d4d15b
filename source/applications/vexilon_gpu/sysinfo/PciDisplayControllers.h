#pragma once

#include "sysinfo/SystemTree.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// The legacy check's list of video controllers on Linux: one line per PCI
// display controller (class 03), in bus order, with its name from the PCI ids
// database (libpci) and the system's memory figure in MiB. The devices come
// from the tree's /sys/bus/pci/devices; a stand-in tree also brings its own
// ids database, <root>/usr/share/misc/pci.ids.
class PciDisplayControllers {
public:
    explicit PciDisplayControllers(const SystemTree& tree);

    // Writes the lines; always 0, as a machine without a controller simply has
    // no line and a missing ids database only costs the names.
    int Print(std::ostream& out) const;

private:
    struct Controller {
        std::uint64_t uBusOrder[4];
        std::string sAddress;
        std::uint32_t uVendorID;
        std::uint32_t uDeviceID;
    };

    std::vector<Controller> Controllers() const;
    // libpci's names for each controller; what it prints for unknown ids when
    // the database lacks them.
    std::vector<std::string> Names(const std::vector<Controller>& controllers) const;

    const SystemTree& tree_;
};
