#include "zeb/ocl/Runtime.h"

#include <dlfcn.h>

namespace ZEB {
namespace OCL {

const char* Runtime::systemLibraryName() { return "libOpenCL.so.1"; }

Runtime::Module Runtime::open(const std::string& libraryPath)
{
    if (libraryPath.empty()) {
        return ZEB::Core::SystemLibrary::load(systemLibraryName());
    }
    // An explicit path is the caller's choice, taken as given; it stays
    // mapped for the reason SystemLibrary's libraries do.
    return dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}

} // namespace OCL
} // namespace ZEB
