#pragma once

#include <memory>

namespace ZEB {
namespace OGL {
class Context;
class ExtensionManager;
} // namespace OGL
} // namespace ZEB

// The legacy console check of the primary display device: video controllers,
// GL strings, the version gate, the NPOT, framebuffer-object and shading
// language extensions, the GLSL compile, OpenCL and, on Windows, DirectX,
// written for a person to read on standard output.
class LegacyCheck {
public:
    // Where the check gets its OpenGL context and what it learns about it, so
    // that tests can stand in for a driver that fails or is too old.
    struct Platform {
        // A context on the primary display device; null is a failed assertion.
        std::unique_ptr<ZEB::OGL::Context> (*openContext)();
        // The extension manager of the current context.
        ZEB::OGL::ExtensionManager* (*extensionManager)();
        // The step after OpenCL, once the framework is shut down (the DirectX
        // probe on Windows); it ends the process itself when it fails. Null: none.
        void (*lastStep)();
    };
    // An offscreen context on the primary display device (Linux: on the first
    // GPU the report lists), the framework's manager and the platform's last step.
    static Platform SystemPlatform();

    explicit LegacyCheck(const Platform& platform);

    // Carry on after an earlier process lost the OpenCL step to a driver
    // fault: straight to the last step, as a check without OpenCL would.
    bool resumeAfterOpenCL = false;
    // Carry on after an earlier process lost a device to a driver fault while
    // it looked for one to open: the controller lines are written already.
    bool resumeAtContext = false;

    // Ends with "Return code: " and the verdict, 1 (OpenGL usable) or 3 (OpenCL
    // too), and returns it. Every failing path ends the process itself with
    // status 0, mostly after "Return code: 0".
    int Run();

private:
    // From the video controller listing to the DirectX probe; the verdict.
    int RunSteps();
    // The platform's last step; `returnCode` is the verdict so far.
    int RunLastStep(int returnCode);

    Platform platform_;
};
