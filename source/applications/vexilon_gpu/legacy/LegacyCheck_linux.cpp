#include "legacy/LegacyCheck.h"

#include "enumeration/EGLEnumerationSystemLinux.h"
#include "enumeration/GPUFactoryLinux.h"

#include "zeb/ogl/Context.h"
#include "zeb/ogl/ExtensionManager.h"

namespace {

// The device the report would list first, so both modes judge the same GPU.
std::unique_ptr<ZEB::OGL::Context> OpenFirstGPUContext()
{
    EGLEnumerationSystemLinux system;
    return GPUFactoryLinux::OpenFirstContext(system);
}

ZEB::OGL::ExtensionManager* CurrentExtensionManager() { return ZEB::OGL::ExtensionManager::Instance(); }

} // namespace

// Linux has no DirectX: the check ends after OpenCL.
LegacyCheck::Platform LegacyCheck::SystemPlatform()
{
    return Platform{&OpenFirstGPUContext, &CurrentExtensionManager, nullptr};
}
