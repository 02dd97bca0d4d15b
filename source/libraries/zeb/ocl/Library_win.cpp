#include "zeb/ocl/Library.h"

namespace ZEB {
namespace OCL {

bool Library::isOpenCLAvailable(std::string) { return false; }

void Library::initialize() {}

bool Library::isInitialized() { return false; }

void Library::terminate() {}

} // namespace OCL
} // namespace ZEB
