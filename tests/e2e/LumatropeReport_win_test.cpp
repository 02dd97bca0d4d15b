// The report for the host "Lumatrope", end to end on Wine's WGL and Mesa:
// the GL limits agree with glxinfo on the same display, the extension flags
// with the extension list of a context of our own.
#include "GlxInfo.h"
#include "LumatropeGroups.h"
#include "ToolRunner.h"

#include "zeb/ogl/ContextOffscreen.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <GL/gl.h>

#include <regex>
#include <set>
#include <sstream>

using testsupport::GlxInfo;
using testsupport::ProcessResult;
using testsupport::SplitCrLfLines;
using testsupport::ToolRunner;

namespace {

std::set<std::string> ContextExtensions()
{
    ZEB::OGL::ContextOffscreen context(ZEB::OGL::Context::primaryDisplayDevice());
    context.makeCurrent();
    std::set<std::string> names;
    std::istringstream list(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    std::string name;
    while (list >> name) {
        names.insert(name);
    }
    wglMakeCurrent(nullptr, nullptr);
    return names;
}

long long Limit(const GlxInfo& glx, const std::string& name)
{
    return glx.hasLimit(name) ? glx.limit(name) : glx.limit(name + "_ARB");
}

unsigned Count(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        if (line.compare(0, 8, "NumGPUs=") == 0) {
            return static_cast<unsigned>(std::stoul(line.substr(8)));
        }
    }
    return 0;
}

} // namespace

TEST(LumatropeEndToEnd, QueryGroupsFollowTheFieldsAndAgreeWithTheGL)
{
    const ProcessResult result = ToolRunner::Run({"--qz4", "--app=Lumatrope"});
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("", result.err);
    const std::vector<std::string> lines = SplitCrLfLines(result.out);
    ASSERT_EQ(1u, Count(lines)) << "the expectations below are for one GPU";
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ("Tester=\"Lumatrope\"", lines[0]);
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("vexilonStart=\"[0-9_:-]{19}\"")));
    EXPECT_TRUE(std::regex_match(lines.back(), std::regex("vexilonEnd=\"[0-9_:-]{19}\"")));

    const GlxInfo glx = GlxInfo::FromTestbed();
    const std::set<std::string> extensions = ContextExtensions();
    testsupport::LumatropeAnswers answers;
    answers.shadingLanguageVersion = glx.shadingLanguageVersion();
    answers.fragmentProgramInstructions =
        std::to_string(glx.limit("GL_MAX_PROGRAM_INSTRUCTIONS_ARB", "GL_ARB_fragment_program"));
    answers.limit = [&glx](const std::string& name, int) { return std::to_string(Limit(glx, name)); };
    answers.hasExtension = [&extensions](const std::string& name) { return extensions.count(name) != 0; };
    const std::vector<std::string> expected = testsupport::LumatropeGroupLines(answers);

    // Tester line, start marker, count, the fifteen fields (no OpenCL lines
    // on PoCL), the groups, the end marker.
    ASSERT_EQ(3u + 13u + expected.size() + 1u, lines.size()) << result.out;
    EXPECT_EQ("gpu.TestFrameBuffer=1", lines[15]);
    EXPECT_EQ(expected, std::vector<std::string>(lines.begin() + 16, lines.end() - 1));
}

TEST(LumatropeEndToEnd, FailAfterCountsThirtySixStepsPerGPUPlusSix)
{
    const unsigned steps = 36 * Count(SplitCrLfLines(ToolRunner::Run({"--qz4", "--app=Lumatrope"}).out)) + 6;

    const ProcessResult last = ToolRunner::Run({"--qz4", "--app=Lumatrope", "--failAfter=" + std::to_string(steps - 1)});
    EXPECT_EQ(2u, last.exitCode);
    EXPECT_EQ("exception: programmed failure\r\n", last.err);
    EXPECT_TRUE(std::regex_match(SplitCrLfLines(last.out).back(), std::regex("vexilonEnd=\".*\"")));

    const ProcessResult all = ToolRunner::Run({"--qz4", "--app=Lumatrope", "--failAfter=" + std::to_string(steps)});
    EXPECT_EQ(0u, all.exitCode);
    EXPECT_EQ("", all.err);

    const ProcessResult second = ToolRunner::Run({"--app=Lumatrope", "--qz4", "--failAfter=1"});
    EXPECT_EQ(2u, second.exitCode);
    EXPECT_EQ("Tester=\"Lumatrope\"\r\n", second.out);
}

TEST(LumatropeEndToEnd, OtherAppNamesGetThePlainReport)
{
    for (const char* app : {"--app=lumatrope", "--app", "--app=Lumatrope2"}) {
        const ProcessResult result = ToolRunner::Run({"--qz4", app});
        EXPECT_EQ(0u, result.exitCode) << app;
        EXPECT_EQ(std::string::npos, result.out.find("Tester=")) << app;
        EXPECT_EQ(std::string::npos, result.out.find("gputag.")) << app;
    }
}
