#pragma once

#include "zeb/ogl/Context.h"

namespace ZEB {
namespace OGL {

// A compatibility-profile context on a hidden window placed on the desktop
// area of one display device. Throws ZEB::RuntimeException when any step
// fails; releases everything it made, in reverse order, when destroyed.
class ContextOffscreen : public Context {
public:
    explicit ContextOffscreen(const DISPLAY_DEVICEA& device);
    ~ContextOffscreen() override;

    HWND window() const { return hWindow_; }

private:
    void release();

    HWND hWindow_;
};

} // namespace OGL
} // namespace ZEB
