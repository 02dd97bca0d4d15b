#include "zeb/core/Library.h"

#include <gtest/gtest.h>

TEST(ZebCoreLibrary, ToleratesRepeatedInitializeAndTerminate)
{
    ZEB::Core::Library::initialize();
    ZEB::Core::Library::initialize();
    EXPECT_TRUE(ZEB::Core::Library::isInitialized());
    ZEB::Core::Library::terminate();
    ZEB::Core::Library::terminate();
    EXPECT_FALSE(ZEB::Core::Library::isInitialized());
    ZEB::Core::Library::initialize();
    EXPECT_TRUE(ZEB::Core::Library::isInitialized());
}
