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
    detail::initializePlatform();
    gInitialized = true;
}

void Library::terminate()
{
    if (!gInitialized) {
        return;
    }
    detail::terminatePlatform();
    gInitialized = false;
}

bool Library::isInitialized() { return gInitialized; }

} // namespace OGL
} // namespace ZEB
