// The legacy check's failing ends, each in a process of its own: whatever
// fails, the process ends with status 0 and says why on standard error.
#include "legacy/LegacyCheck.h"

#include "zeb/ogl/Context.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
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
void RunCheck(std::unique_ptr<ZEB::OGL::Context> (*openContext)(), bool refuseOutput)
{
    static RefusedFlush refused;
    if (refuseOutput) {
        std::cout.rdbuf(&refused);
    }
    LegacyCheck check(LegacyCheck::Platform{openContext, nullptr, nullptr});
    // Straight to the verdict: its line is all the check writes.
    check.resumeAfterOpenCL = refuseOutput;
    std::exit(10 + check.Run());
}

} // namespace

TEST(LegacyCheck, AFailingStepOrARefusedVerdictEndsTheCheckWithStatusZero)
{
    const auto noContext = []() { return std::unique_ptr<ZEB::OGL::Context>(); };
    EXPECT_EXIT(RunCheck(noContext, false), ::testing::ExitedWithCode(0), "Enforce apContext.get.. != NULL");
    EXPECT_EXIT(RunCheck(noContext, true), ::testing::ExitedWithCode(0), "cannot write the check: ");
}
