// The report for the host "Lumatrope", end to end on Wine's WGL and Mesa:
// the GL limits agree with glxinfo on the same display, the extension flags
// with the extension list of a context of our own.
#include "GlxInfo.h"
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
    std::vector<std::string> expected = {
        "gputag.GL_SHADING_LANGUAGE_VERSION=35724",
        "gpu.glGetString[GL_SHADING_LANGUAGE_VERSION]=\"" + glx.shadingLanguageVersion() + "\"",
        "gputag.GL_FRAGMENT_PROGRAM_ARB=34820",
        "gputag.GL_MAX_PROGRAM_INSTRUCTIONS_ARB=34977",
        "gpu.glGetProgramivARB[GL_FRAGMENT_PROGRAM_ARB][GL_MAX_PROGRAM_INSTRUCTIONS_ARB]=[" +
            std::to_string(glx.limit("GL_MAX_PROGRAM_INSTRUCTIONS_ARB", "GL_ARB_fragment_program")) + "]"};
    const std::pair<const char*, int> limits[] = {
        {"GL_MAX_TEXTURE_UNITS", 34018},          {"GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS", 35661},
        {"GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS", 35660}, {"GL_MAX_TEXTURE_IMAGE_UNITS", 34930},
        {"GL_MAX_DRAW_BUFFERS", 34852},           {"GL_MAX_VERTEX_UNIFORM_COMPONENTS", 35658},
        {"GL_MAX_FRAGMENT_UNIFORM_COMPONENTS", 35657}, {"GL_MAX_VARYING_FLOATS", 35659},
        {"GL_MAX_VERTEX_ATTRIBS", 34921}};
    for (const auto& limit : limits) {
        expected.push_back("gputag." + std::string(limit.first) + "=" + std::to_string(limit.second));
        expected.push_back("gpu.glGetIntegerv[" + std::string(limit.first) + "]=[" +
                           std::to_string(Limit(glx, limit.first)) + "]");
    }
    const std::set<std::string> extensions = ContextExtensions();
    const std::tuple<const char*, int, const char*> flags[] = {
        std::make_tuple("GL_ARB_VERTEX_PROGRAM", 70, "GL_ARB_vertex_program"),
        std::make_tuple("GL_ARB_FRAGMENT_PROGRAM", 28, "GL_ARB_fragment_program"),
        std::make_tuple("GL_ARB_VERTEX_SHADER", 71, "GL_ARB_vertex_shader"),
        std::make_tuple("GL_ARB_FRAGMENT_SHADER", 30, "GL_ARB_fragment_shader"),
        std::make_tuple("GL_EXT_FRAMEBUFFER_OBJECT", 121, "GL_EXT_framebuffer_object"),
        std::make_tuple("GL_ARB_TEXTURE_RECTANGLE", 64, "GL_ARB_texture_rectangle"),
        std::make_tuple("GL_ARB_TEXTURE_FLOAT", 61, "GL_ARB_texture_float"),
        std::make_tuple("GL_ARB_OCCLUSION_QUERY", 42, "GL_ARB_occlusion_query"),
        std::make_tuple("GL_ARB_VERTEX_BUFFER_OBJECT", 69, "GL_ARB_vertex_buffer_object"),
        std::make_tuple("GL_ARB_SHADER_TEXTURE_LOD", 47, "GL_ARB_shader_texture_lod")};
    for (const auto& flag : flags) {
        const std::string symbol = "ZEB::OGL::" + std::string(std::get<0>(flag));
        expected.push_back("gputag." + symbol + "=" + std::to_string(std::get<1>(flag)));
        expected.push_back("gpu.extension[" + symbol + "]=" + (extensions.count(std::get<2>(flag)) ? "1" : "0"));
    }

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
