#include "zeb/ogl/Library.h"

#include "Detail.h"

namespace ZEB {
namespace OGL {

namespace {
bool gInitialized = false;
}

void Library::initialize(const InitOptions&)
{
    if (gInitialized) {
        return;
    }
    detail::registerWindowClass();
    gInitialized = true;
}

void Library::terminate()
{
    if (!gInitialized) {
        return;
    }
    // Fails quietly while offscreen contexts still exist; their windows keep
    // the class alive and a later initialize finds it registered.
    detail::unregisterWindowClass();
    gInitialized = false;
}

bool Library::isInitialized() { return gInitialized; }

} // namespace OGL
} // namespace ZEB
