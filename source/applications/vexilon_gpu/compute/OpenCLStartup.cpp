#include "compute/OpenCLStartup.h"

#include "zeb/ocl/Library.h"

#include <string>

namespace {
bool gDisabled = false;
}

void OpenCLStartup::Disable() { gDisabled = true; }

bool OpenCLStartup::Start()
{
    if (gDisabled) {
        return false;
    }
    try {
        if (!ZEB::OCL::Library::isInitialized() && ZEB::OCL::Library::isOpenCLAvailable(std::string())) {
            ZEB::OCL::Library::initialize();
        }
    } catch (...) {
        // No usable runtime.
    }
    return ZEB::OCL::Library::isInitialized();
}
