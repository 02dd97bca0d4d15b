#include "zeb/ogl/Context.h"

#include "Detail.h"

#include "zeb/core/exception/RuntimeException.h"

#include <cstring>

namespace ZEB {
namespace OGL {

Context::Context() : hDeviceContext_(nullptr), hRenderContext_(nullptr) {}

Context::~Context() = default;

void Context::makeCurrent() const
{
    if (hDeviceContext_ == nullptr || hRenderContext_ == nullptr) {
        throw RuntimeException("ZEB::OGL::Context::makeCurrent: the context has no device or render context");
    }
    if (!wglMakeCurrent(hDeviceContext_, hRenderContext_)) {
        throw RuntimeException("ZEB::OGL::Context::makeCurrent: " + detail::win32Failure("wglMakeCurrent"));
    }
}

void Context::displayDevice(std::size_t index, DISPLAY_DEVICEA& device)
{
    std::memset(&device, 0, sizeof(device));
    device.cb = sizeof(device);
    if (index > 0xFFFFFFFFu || !EnumDisplayDevicesA(nullptr, static_cast<DWORD>(index), &device, 0)) {
        // Past the last device: a cleared record (StateFlags 0), never a stale one.
        std::memset(&device, 0, sizeof(device));
        device.cb = sizeof(device);
    }
}

DISPLAY_DEVICEA Context::primaryDisplayDevice()
{
    DISPLAY_DEVICEA device;
    for (std::size_t index = 0;; ++index) {
        displayDevice(index, device);
        if (device.DeviceName[0] == '\0') {
            break;  // past the last device
        }
        if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) {
            return device;
        }
    }
    displayDevice(0, device);
    return device;
}

} // namespace OGL
} // namespace ZEB
