#include "zeb/ocl/Runtime.h"

#include <windows.h>

namespace ZEB {
namespace OCL {

namespace {

// A bad image or a missing library must fail the load quietly, without a
// system error box.
class QuietErrorMode {
public:
    QuietErrorMode() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
    ~QuietErrorMode() { SetThreadErrorMode(previous_, nullptr); }

private:
    DWORD previous_ = 0;
};

} // namespace

const char* Runtime::systemLibraryName() { return "OpenCL.dll"; }

Runtime::Module Runtime::open(const std::string& libraryPath)
{
    QuietErrorMode quiet;
    if (libraryPath.empty()) {
        return ZEB::Core::SystemLibrary::load(systemLibraryName());
    }
    return LoadLibraryExA(libraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace OCL
} // namespace ZEB
