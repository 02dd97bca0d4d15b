// The legacy check on Wine's real WMI and WGL, with the context or its
// extension manager replaced where a test needs a driver that Wine is not.
#include "legacy/LegacyCheck.h"

#include "ChildTest.h"
#include "LegacyCheckLines.h"
#include "SystemFacts.h"

#include "zeb/ogl/Context.h"
#include "zeb/ogl/ExtensionManager.h"

#include <gtest/gtest.h>

#include <iostream>
#include <stdexcept>

using testsupport::ChildTest;
using testsupport::LegacyCheckLines;
using testsupport::ProcessResult;
using testsupport::SystemFacts;

namespace {

std::unique_ptr<ZEB::OGL::Context> NoContext() { return nullptr; }

std::unique_ptr<ZEB::OGL::Context> ForeignFailure() { throw std::runtime_error("not the framework's"); }

// A manager for the real context as an older or poorer driver would report it.
template <const char* Version, const char* Extensions> ZEB::OGL::ExtensionManager* Reporting()
{
    static ZEB::OGL::ExtensionManager manager(Version, Extensions);
    return &manager;
}

const char kGL14[] = "1.4.0 Vendor 1.0";
const char kGL45[] = "4.5 (Compatibility Profile)";
const char kUnplaced[] = "OpenGL ES 2.0";
const char kNoExtensions[] = "";
const char kNoShadingLanguage[] = "GL_ARB_texture_non_power_of_two GL_EXT_framebuffer_object GL_ARB_shader_objects";

void RunCheck(const LegacyCheck::Platform& platform)
{
    LegacyCheck check(platform);
    const int returnCode = check.Run();
    std::cout << "returned " << returnCode << std::endl;
}

LegacyCheck::Platform WithManager(ZEB::OGL::ExtensionManager* (*manager)())
{
    LegacyCheck::Platform platform = LegacyCheck::SystemPlatform();
    platform.extensionManager = manager;
    return platform;
}

struct Case {
    const char* child;
    bool glStrings;  // the context opened and its strings were written
    std::vector<std::string> lastLines;
    std::string err;
};

} // namespace

// Run by the test below in child processes: the check ends them.
TEST(LegacyCheckChild, DISABLED_NoContext)
{
    LegacyCheck::Platform platform = LegacyCheck::SystemPlatform();
    platform.openContext = &NoContext;
    RunCheck(platform);
}

TEST(LegacyCheckChild, DISABLED_ForeignFailure)
{
    LegacyCheck::Platform platform = LegacyCheck::SystemPlatform();
    platform.openContext = &ForeignFailure;
    RunCheck(platform);
}

TEST(LegacyCheckChild, DISABLED_OpenGL14) { RunCheck(WithManager(&Reporting<kGL14, kNoExtensions>)); }

TEST(LegacyCheckChild, DISABLED_UnplacedVersion) { RunCheck(WithManager(&Reporting<kUnplaced, kNoExtensions>)); }

TEST(LegacyCheckChild, DISABLED_NoNPOT) { RunCheck(WithManager(&Reporting<kGL45, kNoExtensions>)); }

TEST(LegacyCheckChild, DISABLED_NoShadingLanguage) { RunCheck(WithManager(&Reporting<kGL45, kNoShadingLanguage>)); }

TEST(LegacyCheckOnWine, FailingPathsEndTheProcessWithStatusZero)
{
    const std::vector<Case> cases = {
        // The framework's exceptions: the text on standard error, then "Return code: 0".
        {"NoContext", false, {"Return code: 0"},
         "source/applications/vexilon_gpu/main(1265): Enforce apContext.get() != NULL\r\n"},
        {"UnplacedVersion", true, {"OpenGL Version (Error determining GL version)", "Return code: 0"},
         "source/applications/vexilon_gpu/main(1052): Error determining GL version.\r\n"},
        // Anything else: "Return code: 0" alone.
        {"ForeignFailure", false, {"Return code: 0"}, ""},
        // Missing capabilities.
        {"OpenGL14", true, {"OpenGL Version (Unsupported GL version)"}, ""},
        {"NoNPOT", true, {"OpenGL Version 3.0", "Has NPOT support: FALSE"}, ""},
        {"NoShadingLanguage", true,
         {"OpenGL Version 3.0", "Has NPOT support: TRUE", "Has Framebuffer Object Extension support: TRUE",
          "Has Shading Language support: FALSE", "Return code: 0"},
         ""},
    };
    const std::vector<std::string> controllers = LegacyCheckLines::Controllers(SystemFacts::VideoControllers());
    const std::vector<std::string> glStrings = LegacyCheckLines::GLStrings();

    for (const Case& c : cases) {
        const std::string child = std::string("LegacyCheckChild.DISABLED_") + c.child;
        const ProcessResult result = ChildTest::Run(child);
        std::vector<std::string> expected = controllers;
        if (c.glStrings) {
            expected = LegacyCheckLines::Join(expected, glStrings);
        }
        expected = LegacyCheckLines::Join(expected, c.lastLines);
        EXPECT_EQ(expected, ChildTest::OwnLines(result, child)) << c.child << ":\n" << result.out;
        EXPECT_EQ(c.err, result.err) << c.child;
        EXPECT_EQ(0u, result.exitCode) << c.child;
    }
}
