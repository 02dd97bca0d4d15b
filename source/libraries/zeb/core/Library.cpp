#include "zeb/core/Library.h"

namespace ZEB {
namespace Core {

namespace {
bool gInitialized = false;
}

void Library::initialize() { gInitialized = true; }

void Library::terminate() { gInitialized = false; }

bool Library::isInitialized() { return gInitialized; }

} // namespace Core
} // namespace ZEB
