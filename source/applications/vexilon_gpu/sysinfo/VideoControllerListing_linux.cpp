#include "sysinfo/VideoControllerListing.h"

#include "sysinfo/PciDisplayControllers.h"
#include "sysinfo/SystemTree.h"

#include <iostream>

int PrintVideoControllers()
{
    const SystemTree tree;
    return PciDisplayControllers(tree).Print(std::cout);
}
