#pragma once

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ZEB {
namespace OGL {

// One device of EGL's device platform and what EGL says about it. Devices
// belong to EGL for the life of the process; nothing here is released.
class EGLDevice {
public:
    // Asked with a device's position in EGL's list before the device is asked
    // anything; false leaves the device out unasked.
    typedef std::function<bool(std::size_t index)> Gate;

    // Every device of the EGL device platform, in EGL's order, less those that
    // answer EGL_BAD_DEVICE_EXT and those `gate` turns away; empty when EGL
    // lacks EGL_EXT_device_enumeration/query (or libEGL offers no device).
    static std::vector<EGLDevice> all(const Gate& gate = Gate());

    // A device record as all() would make it; for callers that stand in for EGL.
    EGLDevice(EGLDeviceEXT handle, std::string extensions, std::string drmDeviceFile, std::string drmRenderNode,
              int cudaDevice, std::string uuid = std::string(), std::size_t index = 0);

    EGLDeviceEXT handle() const { return hDevice_; }
    const std::string& extensions() const { return sExtensions_; }  // the device's extension string
    bool isSoftware() const;                                         // EGL_MESA_device_software
    const std::string& drmDeviceFile() const { return sDrmDeviceFile_; }  // EGL_DRM_DEVICE_FILE_EXT or "" (NULL)
    const std::string& drmRenderNode() const { return sDrmRenderNode_; }  // EGL_DRM_RENDER_NODE_FILE_EXT or ""
    int cudaDevice() const { return iCudaDevice_; }                       // EGL_CUDA_DEVICE_NV, or -1
    const std::string& uuid() const { return sUuid_; }  // EGL_DEVICE_UUID_EXT's 16 bytes, or ""
    std::size_t index() const { return uIndex_; }        // its position in EGL's list

    // Whether the device's extension string names `extension` exactly.
    bool hasExtension(const char* extension) const;

private:
    EGLDeviceEXT hDevice_;
    std::string sExtensions_;
    std::string sDrmDeviceFile_;
    std::string sDrmRenderNode_;
    int iCudaDevice_;
    std::string sUuid_;
    std::size_t uIndex_;
};

} // namespace OGL
} // namespace ZEB
