#pragma once

#include <CL/cl_icd.h>

namespace ZEB {
namespace OCL {

// The OpenCL entry points of the loaded runtime, in the order of the OpenCL
// ICD dispatch table. Entries the runtime lacks are null.
class ExtensionManager {
public:
    // Null until the library is initialised.
    static ExtensionManager* instance();
    // The table of the initialised library; throws ZEB::RuntimeException when
    // there is none.
    static const cl_icd_dispatch& requiredTable();

    // Made by Library::initialize for the runtime it loaded, dropped by
    // Library::terminate.
    static void install(const cl_icd_dispatch& table);
    static void uninstall();

    const cl_icd_dispatch& table() const { return table_; }

    explicit ExtensionManager(const cl_icd_dispatch& table) : table_(table) {}

private:
    cl_icd_dispatch table_;
};

} // namespace OCL
} // namespace ZEB
