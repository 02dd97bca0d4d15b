#include "zeb/ocl/ExtensionManager.h"

#include "zeb/core/exception/RuntimeException.h"

#include <memory>

namespace ZEB {
namespace OCL {

namespace {

std::unique_ptr<ExtensionManager>& current()
{
    static std::unique_ptr<ExtensionManager> manager;
    return manager;
}

} // namespace

ExtensionManager* ExtensionManager::instance() { return current().get(); }

const cl_icd_dispatch& ExtensionManager::requiredTable()
{
    ExtensionManager* manager = instance();
    if (manager == nullptr) {
        throw RuntimeException("OpenCL library not initialised");
    }
    return manager->table();
}

void ExtensionManager::install(const cl_icd_dispatch& table) { current().reset(new ExtensionManager(table)); }

void ExtensionManager::uninstall() { current().reset(); }

} // namespace OCL
} // namespace ZEB
