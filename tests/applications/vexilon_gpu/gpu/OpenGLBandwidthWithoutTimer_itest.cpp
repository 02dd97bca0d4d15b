// The GL draw measurement on a context without the timer query. Mesa hides
// the extensions only when told so at start-up, so this runs as a ctest entry
// of its own with MESA_EXTENSION_OVERRIDE set; in the ordinary run it skips.
#include "gpu/ContextScope.h"
#include "gpu/OpenGLBandwidth.h"

#include "zeb/ogl/ContextOffscreen.h"
#include "zeb/ogl/ExtensionManager.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(OpenGLBandwidthWithoutTimerQuery, RateIsZeroAndNothingIsDrawn)
{
    if (std::getenv("MESA_EXTENSION_OVERRIDE") == nullptr) {
        GTEST_SKIP() << "runs as its own ctest entry, with Mesa's timer query switched off";
    }
#ifdef _WIN32
    ZEB::OGL::ContextOffscreen context(ZEB::OGL::Context::primaryDisplayDevice());
#else
    ZEB::OGL::ContextOffscreen context(ZEB::OGL::EGLDevice::all().at(0));
#endif
    {
        ContextScope scope(context);
        ASSERT_FALSE(ZEB::OGL::ExtensionManager::Instance()->isSupported(ZEB::OGL::GL_EXT_TIMER_QUERY));
    }
    EXPECT_EQ(0u, OpenGLBandwidth::Measure(context));
    EXPECT_EQ(nullptr, ZEB::OGL::ExtensionManager::Instance());  // no context left current
}
