#pragma once

#include <windows.h>
#include <CL/cl_icd.h>

#include <memory>
#include <string>

namespace ZEB {
namespace OCL {

// One loaded OpenCL runtime: the module, which it frees when destroyed, and
// its entry points in the order of the ICD dispatch table.
class Runtime {
public:
    // The runtime at libraryPath, or the system's OpenCL.dll (from the system
    // directory only) when the path is empty. Null when the library cannot be
    // loaded or lacks an entry point the layer needs.
    static std::unique_ptr<Runtime> load(const std::string& libraryPath);

    ~Runtime();

    const cl_icd_dispatch& table() const { return table_; }
    HMODULE module() const { return hModule_; }

private:
    Runtime(HMODULE module, const cl_icd_dispatch& table);
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    HMODULE hModule_;
    cl_icd_dispatch table_;
};

} // namespace OCL
} // namespace ZEB
