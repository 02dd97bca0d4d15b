#pragma once

#include <functional>
#include <string>
#include <vector>

// The files that ocl-icd, the Linux OpenCL loader, reads and loads, as its
// manual (libOpenCL(7)) describes them: the vendor descriptions (.icd files,
// each naming a library on its first line) and the runtime libraries.
class OpenCLLoaderFiles {
public:
    // An environment variable's value; empty when it is unset.
    typedef std::function<std::string(const char* name)> Variable;

    // `libraries` as named: one without a folder is the dynamic loader's to find.
    struct Files {
        std::vector<std::string> descriptions;
        std::vector<std::string> libraries;
    };

    // OCL_ICD_FILENAMES (a list of libraries), else OCL_ICD_VENDORS (a folder
    // of descriptions, one description, or the library itself), else the
    // descriptions in OPENCL_VENDOR_PATH or /etc/OpenCL/vendors.
    static Files Find(const Variable& variable);

private:
    OpenCLLoaderFiles() = delete;
};
