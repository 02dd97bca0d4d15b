#include "zeb/ogl/ContextOffscreen.h"

#include "Detail.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/ExtensionManager.h"

#include <dlfcn.h>
#include <link.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace ZEB {
namespace OGL {

namespace {

// Keeps every library now loaded (the driver EGL loaded for a display among
// them) mapped after eglTerminate: drivers keep process-wide state (LLVM's,
// for one) that unloading them would strand, and the next display would load
// them all again.
void pinLoadedLibraries()
{
    std::vector<std::string> paths;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] == '/') {
                static_cast<std::vector<std::string>*>(data)->push_back(info->dlpi_name);
            }
            return 0;
        },
        &paths);
    // Outside the iteration, which holds the loader's lock.
    for (const std::string& path : paths) {
        if (void* library = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) {
            dlclose(library);
        }
    }
}

// Every context on a device shares the one EGLDisplay of that device, and
// eglTerminate ends it for all of them: the display is initialised with its
// first context and terminated with its last.
class DisplayReferences {
public:
    static bool acquire(EGLDisplay display)
    {
        std::lock_guard<std::mutex> lock(mutex());
        unsigned& count = counts()[display];
        if (count == 0) {
            if (!eglInitialize(display, nullptr, nullptr)) {
                counts().erase(display);
                return false;
            }
            pinLoadedLibraries();
        }
        ++count;
        return true;
    }

    static void release(EGLDisplay display)
    {
        std::lock_guard<std::mutex> lock(mutex());
        auto found = counts().find(display);
        if (found == counts().end() || --found->second != 0) {
            return;
        }
        counts().erase(found);
        eglTerminate(display);
    }

private:
    // Never destroyed: a context held by a static object (the GPU list) is
    // released by exit handlers that may run after these would have died.
    static std::mutex& mutex()
    {
        static std::mutex* instance = new std::mutex();
        return *instance;
    }
    static std::map<EGLDisplay, unsigned>& counts()
    {
        static std::map<EGLDisplay, unsigned>* instance = new std::map<EGLDisplay, unsigned>();
        return *instance;
    }
};

} // namespace

ContextOffscreen::ContextOffscreen(const EGLDevice& device) : bDisplayHeld_(false)
{
    const std::string who = "ZEB::OGL::ContextOffscreen(EGL device): ";
    // Builds the message while eglGetError still belongs to the failed step,
    // then undoes what was made.
    auto fail = [this, &who](const char* step) {
        const std::string message = who + detail::eglFailure(step);
        release();
        throw RuntimeException(message);
    };

    const auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        fail("eglGetProcAddress(eglGetPlatformDisplayEXT)");
    }
    hDeviceContext_ = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device.handle(), nullptr);
    if (hDeviceContext_ == EGL_NO_DISPLAY) {
        fail("eglGetPlatformDisplayEXT");
    }
    if (!DisplayReferences::acquire(hDeviceContext_)) {
        fail("eglInitialize");
    }
    bDisplayHeld_ = true;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        fail("eglBindAPI(EGL_OPENGL_API)");
    }

    // Device displays may offer pbuffer configs only; surfaceless, any config will do.
    const bool surfaceless =
        detail::listsExtension(eglQueryString(hDeviceContext_, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context");
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_SURFACE_TYPE,    surfaceless ? EGL_DONT_CARE : EGL_PBUFFER_BIT,
                                       EGL_RED_SIZE,        8,
                                       EGL_GREEN_SIZE,      8,
                                       EGL_BLUE_SIZE,       8,
                                       EGL_ALPHA_SIZE,      8,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(hDeviceContext_, configAttributes, &config, 1, &configs)) {
        fail("eglChooseConfig");
    }
    if (configs < 1) {
        fail("eglChooseConfig (no OpenGL config)");
    }

    if (!surfaceless) {
        const EGLint pbufferAttributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
        hSurface_ = eglCreatePbufferSurface(hDeviceContext_, config, pbufferAttributes);
        if (hSurface_ == EGL_NO_SURFACE) {
            fail("eglCreatePbufferSurface");
        }
    }

    // No attributes: the compatibility profile, whatever its version.
    const EGLint contextAttributes[] = {EGL_NONE};
    hRenderContext_ = eglCreateContext(hDeviceContext_, config, EGL_NO_CONTEXT, contextAttributes);
    if (hRenderContext_ == EGL_NO_CONTEXT) {
        fail("eglCreateContext");
    }
}

ContextOffscreen::~ContextOffscreen() { release(); }

void ContextOffscreen::release()
{
    if (hRenderContext_ != EGL_NO_CONTEXT) {
        if (detail::currentRenderContext() == hRenderContext_) {
            eglMakeCurrent(hDeviceContext_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        }
        ExtensionManager::forget(hRenderContext_);
        eglDestroyContext(hDeviceContext_, hRenderContext_);
        hRenderContext_ = EGL_NO_CONTEXT;
    }
    if (hSurface_ != EGL_NO_SURFACE) {
        eglDestroySurface(hDeviceContext_, hSurface_);
        hSurface_ = EGL_NO_SURFACE;
    }
    if (bDisplayHeld_) {
        DisplayReferences::release(hDeviceContext_);
        bDisplayHeld_ = false;
    }
    hDeviceContext_ = EGL_NO_DISPLAY;
}

} // namespace OGL
} // namespace ZEB
