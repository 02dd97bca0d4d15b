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

    const cl_icd_dispatch& table() const { return table_; }

    explicit ExtensionManager(const cl_icd_dispatch& table) : table_(table) {}

private:
    cl_icd_dispatch table_;
};

} // namespace OCL
} // namespace ZEB
