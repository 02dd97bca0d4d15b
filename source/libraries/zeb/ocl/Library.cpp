#include "zeb/ocl/Library.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ocl/ExtensionManager.h"
#include "zeb/ocl/Runtime.h"

#include <memory>

namespace ZEB {
namespace OCL {

namespace {

struct State {
    // The library the last successful availability check found; empty: the system's.
    std::string libraryPath;
    // The only owner of the loaded runtime.
    std::unique_ptr<Runtime> runtime;
};

State& state()
{
    static State instance;
    return instance;
}

} // namespace

bool Library::isOpenCLAvailable(std::string libraryPath)
{
    if (!Runtime::load(libraryPath)) {
        return false;
    }
    state().libraryPath = std::move(libraryPath);
    return true;
}

void Library::initialize()
{
    State& current = state();
    if (current.runtime) {
        return;
    }
    std::unique_ptr<Runtime> runtime = Runtime::load(current.libraryPath);
    if (!runtime) {
        throw RuntimeException("OpenCL runtime not available: " +
                               (current.libraryPath.empty() ? std::string(Runtime::systemLibraryName()) : current.libraryPath));
    }
    ExtensionManager::install(runtime->table());
    current.runtime = std::move(runtime);
}

bool Library::isInitialized() { return state().runtime != nullptr; }

void Library::terminate()
{
    ExtensionManager::uninstall();
    state().runtime.reset();
}

} // namespace OCL
} // namespace ZEB
