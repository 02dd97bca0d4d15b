#include "gpu/OpenCLStartup.h"

#include "zeb/ocl/Library.h"

#include <string>

bool OpenCLStartup::Start()
{
    try {
        if (!ZEB::OCL::Library::isInitialized() && ZEB::OCL::Library::isOpenCLAvailable(std::string())) {
            ZEB::OCL::Library::initialize();
        }
    } catch (...) {
        // No usable runtime.
    }
    return ZEB::OCL::Library::isInitialized();
}
