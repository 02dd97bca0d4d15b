#pragma once

#include <windows.h>

#include <cstddef>

namespace ZEB {
namespace OGL {

// An OpenGL rendering context together with the device context it draws on.
class Context {
public:
    virtual ~Context();

    // Makes this context current on the calling thread; throws when WGL refuses.
    virtual void makeCurrent() const;

    HDC deviceContext() const { return hDeviceContext_; }
    HGLRC renderContext() const { return hRenderContext_; }

    // Fills the record of display device `index`. Past the last device the
    // record is cleared (StateFlags 0), so a stale record never reads as attached.
    static void displayDevice(std::size_t index, DISPLAY_DEVICEA& device);
    // The record of the device flagged as primary (device 0 when none is).
    static DISPLAY_DEVICEA primaryDisplayDevice();

protected:
    Context();

    HDC hDeviceContext_;
    HGLRC hRenderContext_;

private:
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
};

} // namespace OGL
} // namespace ZEB
