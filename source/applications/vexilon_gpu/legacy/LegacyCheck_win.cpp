#include "legacy/LegacyCheck.h"

#include "sysinfo/DirectXProbe.h"

#include "zeb/ogl/ContextOffscreen.h"
#include "zeb/ogl/ExtensionManager.h"

namespace {

std::unique_ptr<ZEB::OGL::Context> OpenPrimaryContext()
{
    return std::unique_ptr<ZEB::OGL::Context>(
        new ZEB::OGL::ContextOffscreen(ZEB::OGL::Context::primaryDisplayDevice()));
}

ZEB::OGL::ExtensionManager* CurrentExtensionManager() { return ZEB::OGL::ExtensionManager::Instance(); }

} // namespace

LegacyCheck::Platform LegacyCheck::SystemPlatform()
{
    return Platform{&OpenPrimaryContext, &CurrentExtensionManager, &TestDirectX};
}
