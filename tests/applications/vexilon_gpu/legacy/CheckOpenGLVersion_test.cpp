#include "legacy/CheckOpenGLVersion.h"

#include "StreamCapture.h"

#include "zeb/core/exception/InternalException.h"
#include "zeb/ogl/ExtensionManager.h"

#include <gtest/gtest.h>

using testsupport::StreamCapture;

TEST(CheckOpenGLVersion, NamesTheHighestOfThreeVersionsAndStopsBelow15)
{
    const struct {
        const char* versionText;  // GL_VERSION of the context
        const char* line;
        bool goesOn;
    } gates[] = {
        {"4.5 (Compatibility Profile) Mesa 22.3.6", "OpenGL Version 3.0\n", true},
        {"2.1 NVIDIA 190.00", "OpenGL Version 2.0\n", true},
        {"1.5", "OpenGL Version 1.5\n", true},
        {"1.4", "OpenGL Version (Unsupported GL version)\n", false},
        {"1.0", "OpenGL Version (Unsupported GL version)\n", false},
    };
    for (const auto& gate : gates) {
        ZEB::OGL::ExtensionManager manager(gate.versionText, "");
        StreamCapture capture;
        EXPECT_EQ(gate.goesOn, CheckOpenGLVersion(manager)) << gate.versionText;
        EXPECT_EQ(gate.line, capture.out()) << gate.versionText;
    }
}

TEST(CheckOpenGLVersion, AVersionItCannotPlaceIsAnInternalError)
{
    // No "major.minor" at the front: the framework reports 0.0.
    ZEB::OGL::ExtensionManager manager("OpenGL ES 3.2 Mesa", "");
    StreamCapture capture;
    try {
        CheckOpenGLVersion(manager);
        ADD_FAILURE() << "no exception";
    } catch (const ZEB::InternalException& exception) {
        EXPECT_STREQ("source/applications/vexilon_gpu/main(1052): Error determining GL version.", exception.what());
    }
    EXPECT_EQ("OpenGL Version (Error determining GL version)\n", capture.out());
}
