#include "zeb/core/system/SystemLibrary.h"

#include <dlfcn.h>

namespace ZEB {
namespace Core {

std::string SystemLibrary::path(const char* fileName)
{
    // A '/' would make dlopen take the name as a path, relative ones from the
    // working directory.
    const std::string name(fileName);
    return name.find('/') == std::string::npos ? name : std::string();
}

SystemLibrary::Handle SystemLibrary::load(const char* fileName)
{
    const std::string soname = path(fileName);
    if (soname.empty()) {
        return nullptr;
    }
    // RTLD_NODELETE: unload gives the handle back but the library stays
    // mapped. ICD loaders and drivers keep process-wide state (platform lists,
    // worker threads, exit handlers) that must outlive the handle.
    return dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}

void* SystemLibrary::symbol(Handle library, const char* name)
{
    return library == nullptr ? nullptr : dlsym(library, name);
}

void SystemLibrary::unload(Handle library)
{
    if (library != nullptr) {
        dlclose(library);
    }
}

} // namespace Core
} // namespace ZEB
