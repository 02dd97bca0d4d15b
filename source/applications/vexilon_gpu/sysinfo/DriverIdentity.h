#pragma once

#include <string>
#include <vector>

// Which drivers are installed, as one text that changes when any of them
// does (an update, another vendor's runtime): the files they are made of
// with their sizes and modification times, and what the system says about
// their versions. Asked only by a run that remembers a driver fault, never
// by the drivers themselves, so it cannot hang or crash with them.
class DriverIdentity {
public:
    // The OpenCL runtimes the loader would load. Linux: the vendor
    // descriptions it reads and each library it loads (OpenCLLoaderFiles). Windows: the system's
    // OpenCL.dll and the vendors' libraries registered for it, with their
    // version resources, and the display drivers' versions and dates.
    static std::string OpenCL();
    // The GL drivers behind the GPUs. Linux: the EGL vendor libraries that
    // glvnd loads. Windows: the display drivers' versions and dates.
    static std::string OpenGL();
    // The Vulkan drivers the loader would load. Linux: the ICD manifests
    // (VK_DRIVER_FILES, VK_ICD_FILENAMES or the system's icd.d folders) and
    // the libraries they name. Windows: the system's vulkan-1.dll with its
    // version resource, and the display drivers' versions and dates.
    static std::string Vulkan();

    // "<path> <size> <modification time>" for each file, in the given order;
    // a file that is not there is named with "missing".
    static std::string Files(const std::vector<std::string>& paths);

private:
    DriverIdentity() = delete;
};
