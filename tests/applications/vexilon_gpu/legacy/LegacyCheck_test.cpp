// The legacy check's failing ends, each in a process of its own: whatever
// fails, the process ends with status 0 and says why on standard error.
#include "legacy/LegacyCheck.h"

#include "zeb/ogl/Context.h"
#include "zeb/ogl/ExtensionManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <streambuf>

namespace {

// A full disk as a buffered stream meets it: the characters are taken, the
// flush at the end of the line is refused.
class RefusedFlush : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    int sync() override { return -1; }
};

// A check that returns ends the child with 10 and its verdict.
void RunCheck(const LegacyCheck::Platform& platform, bool refuseOutput)
{
    static RefusedFlush refused;
    if (refuseOutput) {
        std::cout.rdbuf(&refused);
    }
    LegacyCheck check(platform);
    // Straight to the verdict: its line is all the check writes.
    check.resumeAfterOpenCL = refuseOutput;
    std::exit(10 + check.Run());
}

std::unique_ptr<ZEB::OGL::Context> NoContext() { return nullptr; }
std::unique_ptr<ZEB::OGL::Context> ForeignFailure() { throw std::runtime_error("not the framework's"); }
ZEB::OGL::ExtensionManager* NoManager() { return nullptr; }

} // namespace

TEST(LegacyCheck, AFailingStepOrARefusedVerdictEndsTheCheckWithStatusZero)
{
    const struct {
        LegacyCheck::Platform platform;
        bool refuseOutput;
        const char* err;
    } cases[] = {
        {{&NoContext, nullptr, nullptr}, false, "Enforce apContext.get.. != NULL"},
        {{LegacyCheck::SystemPlatform().openContext, &NoManager, nullptr}, false, "no OpenGL extension manager"},
        {{&ForeignFailure, nullptr, nullptr}, false, "^$"},
        {{&NoContext, nullptr, nullptr}, true, "cannot write the check: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        EXPECT_EXIT(RunCheck(c.platform, c.refuseOutput), ::testing::ExitedWithCode(0), c.err);
    }
}
