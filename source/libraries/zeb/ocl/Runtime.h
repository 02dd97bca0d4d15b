#pragma once

#include "zeb/core/system/SystemLibrary.h"

#include <CL/cl_icd.h>

#include <memory>
#include <string>

namespace ZEB {
namespace OCL {

// One loaded OpenCL runtime: the library, which it gives back when destroyed,
// and its entry points in the order of the ICD dispatch table.
class Runtime {
public:
    typedef ZEB::Core::SystemLibrary::Handle Module;

    // The runtime at libraryPath, or the system's (systemLibraryName(), found
    // as SystemLibrary finds it) when the path is empty. Null when the library
    // cannot be loaded or lacks an entry point the layer needs.
    static std::unique_ptr<Runtime> load(const std::string& libraryPath);

    // The system's runtime: "OpenCL.dll" on Windows, the ICD loader
    // "libOpenCL.so.1" elsewhere.
    static const char* systemLibraryName();

    ~Runtime();

    const cl_icd_dispatch& table() const { return table_; }
    Module module() const { return hModule_; }

private:
    Runtime(Module module, const cl_icd_dispatch& table);
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // The platform's part: loads the library at libraryPath, or the system's
    // when it is empty, without any error dialog; null on failure.
    static Module open(const std::string& libraryPath);

    Module hModule_;
    cl_icd_dispatch table_;
};

} // namespace OCL
} // namespace ZEB
