#include "zeb/ogl/EGLDevice.h"

#include "Detail.h"

#include <utility>

namespace ZEB {
namespace OGL {

namespace {

// The device queries are extension functions: only eglGetProcAddress has them.
struct DeviceEntries {
    PFNEGLQUERYDEVICESEXTPROC queryDevices = nullptr;
    PFNEGLQUERYDEVICESTRINGEXTPROC queryString = nullptr;
    PFNEGLQUERYDEVICEATTRIBEXTPROC queryAttrib = nullptr;
    PFNEGLQUERYDEVICEBINARYEXTPROC queryBinary = nullptr;  // EGL_EXT_device_persistent_id; may be null

    bool load()
    {
        const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
        if (client == nullptr) {
            eglGetError();  // EGL without client extensions: nothing to enumerate
            return false;
        }
        const bool enumeration = detail::listsExtension(client, "EGL_EXT_device_enumeration") ||
                                 detail::listsExtension(client, "EGL_EXT_device_base");
        const bool query = detail::listsExtension(client, "EGL_EXT_device_query") ||
                           detail::listsExtension(client, "EGL_EXT_device_base");
        if (!enumeration || !query) {
            return false;
        }
        queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
        queryString = reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
        queryAttrib = reinterpret_cast<PFNEGLQUERYDEVICEATTRIBEXTPROC>(eglGetProcAddress("eglQueryDeviceAttribEXT"));
        queryBinary = reinterpret_cast<PFNEGLQUERYDEVICEBINARYEXTPROC>(eglGetProcAddress("eglQueryDeviceBinaryEXT"));
        return queryDevices != nullptr && queryString != nullptr && queryAttrib != nullptr;
    }

    // A string the device may answer NULL for (a software device's render
    // node, an NVIDIA device's file without its DRM module): "" then.
    std::string string(EGLDeviceEXT device, EGLint name) const
    {
        const char* value = queryString(device, name);
        if (value == nullptr) {
            eglGetError();
            return std::string();
        }
        return value;
    }

    // The device's UUID: 16 bytes, or "" when the device does not give them.
    std::string uuid(EGLDeviceEXT device) const
    {
        unsigned char bytes[16] = {};
        EGLint size = 0;
        if (queryBinary == nullptr || !queryBinary(device, EGL_DEVICE_UUID_EXT, sizeof bytes, bytes, &size) ||
            size != static_cast<EGLint>(sizeof bytes)) {
            eglGetError();
            return std::string();
        }
        return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
};

} // namespace

std::vector<EGLDevice> EGLDevice::all(const Gate& gate)
{
    std::vector<EGLDevice> devices;
    DeviceEntries egl;
    if (!egl.load()) {
        return devices;
    }
    EGLint count = 0;
    if (!egl.queryDevices(0, nullptr, &count) || count <= 0) {
        eglGetError();
        return devices;
    }
    std::vector<EGLDeviceEXT> handles(static_cast<std::size_t>(count), EGL_NO_DEVICE_EXT);
    if (!egl.queryDevices(count, handles.data(), &count)) {
        eglGetError();
        return devices;
    }
    handles.resize(static_cast<std::size_t>(count < 0 ? 0 : count));

    for (std::size_t index = 0; index < handles.size(); ++index) {
        const EGLDeviceEXT handle = handles[index];
        if (gate && !gate(index)) {
            continue;
        }
        // The extension string first: a device hidden from this process (a
        // GPU outside the cgroup) answers EGL_BAD_DEVICE_EXT, and some drivers
        // have crashed when such a device was asked for its attributes.
        const char* answer = egl.queryString(handle, EGL_EXTENSIONS);
        if (answer == nullptr && eglGetError() == EGL_BAD_DEVICE_EXT) {
            continue;
        }
        const std::string extensions = answer != nullptr ? answer : "";
        const char* list = extensions.c_str();
        std::string deviceFile;
        std::string renderNode;
        int cudaDevice = -1;
        if (detail::listsExtension(list, "EGL_EXT_device_drm")) {
            deviceFile = egl.string(handle, EGL_DRM_DEVICE_FILE_EXT);
        }
        if (detail::listsExtension(list, "EGL_EXT_device_drm_render_node")) {
            renderNode = egl.string(handle, EGL_DRM_RENDER_NODE_FILE_EXT);
        }
        EGLAttrib value = -1;
        if (detail::listsExtension(list, "EGL_NV_device_cuda")) {
            if (egl.queryAttrib(handle, EGL_CUDA_DEVICE_NV, &value) && value >= 0 && value <= 0x7FFFFFFF) {
                cudaDevice = static_cast<int>(value);
            } else {
                eglGetError();
            }
        }
        const std::string uuid =
            detail::listsExtension(list, "EGL_EXT_device_persistent_id") ? egl.uuid(handle) : std::string();
        devices.emplace_back(handle, extensions, deviceFile, renderNode, cudaDevice, uuid, index);
    }
    return devices;
}

EGLDevice::EGLDevice(EGLDeviceEXT handle, std::string extensions, std::string drmDeviceFile,
                     std::string drmRenderNode, int cudaDevice, std::string uuid, std::size_t index)
    : hDevice_(handle), sExtensions_(std::move(extensions)), sDrmDeviceFile_(std::move(drmDeviceFile)),
      sDrmRenderNode_(std::move(drmRenderNode)), iCudaDevice_(cudaDevice), sUuid_(std::move(uuid)), uIndex_(index)
{
}

bool EGLDevice::isSoftware() const { return hasExtension("EGL_MESA_device_software"); }

bool EGLDevice::hasExtension(const char* extension) const
{
    return detail::listsExtension(sExtensions_.c_str(), extension);
}

} // namespace OGL
} // namespace ZEB
