#pragma once

#include "enumeration/GPUFactory.h"
#include "sysinfo/DeviceFacts.h"

#include <functional>
#include <memory>
#include <string>

class EGLEnumerationSystem;

namespace ZEB {
namespace OGL {
class Context;
} // namespace OGL
} // namespace ZEB

// Enumerates the GPUs through EGL's device platform: one GPU per hardware
// device whose display works, each counted once, in PCI bus order where it is
// known; Mesa's software device only when there is no hardware one.
class GPUFactoryLinux : public GPUFactory {
public:
    // On EGL and the system's own files.
    GPUFactoryLinux();
    // On `system`, which the caller keeps alive.
    explicit GPUFactoryLinux(EGLEnumerationSystem& system);
    ~GPUFactoryLinux() override;

    // An offscreen context on the first GPU that CreateGPUs would list (the
    // framework already initialised); null when there is none.
    static std::unique_ptr<ZEB::OGL::Context> OpenFirstContext(EGLEnumerationSystem& system);

protected:
    GPUList CreateGPUs() override;

private:
    // Takes one accepted device; false stops the walk.
    typedef std::function<bool(std::unique_ptr<ZEB::OGL::Context>, const DeviceFacts&, const std::string& caption)>
        Visitor;
    // Opens the contexts of the GPUs in list order and hands each to `visit`.
    static void Walk(EGLEnumerationSystem& system, const Visitor& visit);

    std::unique_ptr<EGLEnumerationSystem> apOwnSystem_;
    EGLEnumerationSystem& system_;
};
