#pragma once

#include <string>

namespace ZEB {
namespace OCL {

// The OpenCL runtime, loaded at run time (never linked).
class Library {
public:
    // Whether a runtime can be loaded and offers the entry points the layer
    // needs. An empty path means the system's runtime (Windows: OpenCL.dll from
    // the system directory only; elsewhere the ICD loader by its soname);
    // otherwise the library at that path. The runtime
    // found is the one initialize() loads.
    static bool isOpenCLAvailable(std::string libraryPath);
    // Loads the runtime and fills the entry-point table; throws
    // ZEB::RuntimeException when no usable runtime is there.
    static void initialize();
    static bool isInitialized();
    static void terminate();

private:
    Library() = delete;
};

} // namespace OCL
} // namespace ZEB
