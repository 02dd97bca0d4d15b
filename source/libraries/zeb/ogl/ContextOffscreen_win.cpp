#include "zeb/ogl/ContextOffscreen.h"

#include "Detail.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/ExtensionManager.h"

#include <cstring>
#include <string>

namespace ZEB {
namespace OGL {

namespace {

// The hidden window's client area; it only has to give the context a drawable.
const int kWindowSize = 256;

} // namespace

ContextOffscreen::ContextOffscreen(const DISPLAY_DEVICEA& device) : hWindow_(nullptr)
{
    const std::string name(device.DeviceName, strnlen(device.DeviceName, sizeof(device.DeviceName)));
    const std::string who = "ZEB::OGL::ContextOffscreen(" + name + "): ";
    // Builds the message while GetLastError still belongs to the failed step,
    // then undoes what was made.
    auto fail = [this, &who](const char* step) {
        const std::string message = who + detail::win32Failure(step);
        release();
        throw RuntimeException(message);
    };

    detail::registerWindowClass();

    // Where the device's part of the desktop begins.
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    if (name.empty() || !EnumDisplaySettingsA(name.c_str(), ENUM_CURRENT_SETTINGS, &mode)) {
        fail("EnumDisplaySettingsA");
    }
    const int x = (mode.dmFields & DM_POSITION) ? mode.dmPosition.x : 0;
    const int y = (mode.dmFields & DM_POSITION) ? mode.dmPosition.y : 0;

    // A window that is never shown, placed on that device.
    hWindow_ = CreateWindowExA(WS_EX_TOOLWINDOW, detail::windowClassName(), "ZEB OGL offscreen context",
                               WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, kWindowSize, kWindowSize, nullptr,
                               nullptr, detail::moduleInstance(), nullptr);
    if (hWindow_ == nullptr) {
        fail("CreateWindowExA");
    }

    hDeviceContext_ = GetDC(hWindow_);
    if (hDeviceContext_ == nullptr) {
        fail("GetDC");
    }

    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof(descriptor);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 32;
    descriptor.cAlphaBits = 8;
    descriptor.cDepthBits = 24;
    descriptor.cStencilBits = 8;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(hDeviceContext_, &descriptor);
    if (format == 0) {
        fail("ChoosePixelFormat");
    }
    if (!SetPixelFormat(hDeviceContext_, format, &descriptor)) {
        fail("SetPixelFormat");
    }

    // A legacy WGL context: the compatibility profile, whatever its version.
    hRenderContext_ = wglCreateContext(hDeviceContext_);
    if (hRenderContext_ == nullptr) {
        fail("wglCreateContext");
    }
}

ContextOffscreen::~ContextOffscreen() { release(); }

void ContextOffscreen::release()
{
    if (hRenderContext_ != nullptr) {
        if (wglGetCurrentContext() == hRenderContext_) {
            wglMakeCurrent(nullptr, nullptr);
        }
        ExtensionManager::forget(hRenderContext_);
        wglDeleteContext(hRenderContext_);
        hRenderContext_ = nullptr;
    }
    if (hDeviceContext_ != nullptr) {
        ReleaseDC(hWindow_, hDeviceContext_);
        hDeviceContext_ = nullptr;
    }
    if (hWindow_ != nullptr) {
        DestroyWindow(hWindow_);
        hWindow_ = nullptr;
    }
}

} // namespace OGL
} // namespace ZEB
