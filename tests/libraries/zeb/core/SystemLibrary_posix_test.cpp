#include "zeb/core/system/SystemLibrary.h"

#include <gtest/gtest.h>

using ZEB::Core::SystemLibrary;

// Only a soname reaches the dynamic loader: a name with a '/' (which dlopen
// would take as a path, relative ones from the working directory) is refused.
TEST(SystemLibrary, LoadsBySonameOnly)
{
    const struct {
        const char* name;
        bool loads;
    } kCases[] = {{"libOpenCL.so.1", true},
                  {"libvexilon_no_such_library.so.1", false},
                  {"/usr/lib/x86_64-linux-gnu/libOpenCL.so.1", false},
                  {"./libOpenCL.so.1", false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SystemLibrary::Handle library = SystemLibrary::load(c.name);
        EXPECT_EQ(c.loads, SystemLibrary::symbol(library, "clGetPlatformIDs") != nullptr);
        SystemLibrary::unload(library);
    }
}
