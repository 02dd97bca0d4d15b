#include "zeb/ogl/Library.h"

namespace ZEB {
namespace OGL {

namespace {
bool gInitialized = false;
}

void Library::initialize(const InitOptions&) { gInitialized = true; }

void Library::terminate() { gInitialized = false; }

bool Library::isInitialized() { return gInitialized; }

} // namespace OGL
} // namespace ZEB
