#include "report/LumatropeTester.h"

#include "FakeGPU.h"
#include "FakeGPUFactory.h"
#include "ReportRun.h"
#include "StreamCapture.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <sstream>
#include <stdexcept>

using testsupport::FakeGPU;
using testsupport::FakeGPUFactory;
using testsupport::RunReport;
using testsupport::SplitLines;
using testsupport::StreamCapture;

namespace {

// A GPU with distinct answers for every Lumatrope query.
boost::shared_ptr<FakeGPU> LumatropeGPU()
{
    auto gpu = boost::make_shared<FakeGPU>();
    gpu->strings[0x8B8C] = "4.50";
    gpu->programIntegers[0x88A1] = {1048576};
    const GLenum limits[] = {0x84E2, 0x8B4D, 0x8B4C, 0x8872, 0x8824, 0x8B4A, 0x8B49, 0x8B4B, 0x8869};
    for (GLenum limit : limits) {
        gpu->integers[limit] = {static_cast<GLint>(limit % 1000)};
    }
    gpu->extensions[ZEB::OGL::GL_ARB_VERTEX_PROGRAM] = true;
    gpu->extensions[ZEB::OGL::GL_ARB_TEXTURE_FLOAT] = true;
    return gpu;
}

const std::vector<std::string> kQueryLines = {
    "gputag.GL_SHADING_LANGUAGE_VERSION=35724",
    "gpu.glGetString[GL_SHADING_LANGUAGE_VERSION]=\"4.50\"",
    "gputag.GL_FRAGMENT_PROGRAM_ARB=34820",
    "gputag.GL_MAX_PROGRAM_INSTRUCTIONS_ARB=34977",
    "gpu.glGetProgramivARB[GL_FRAGMENT_PROGRAM_ARB][GL_MAX_PROGRAM_INSTRUCTIONS_ARB]=[1048576]",
    "gputag.GL_MAX_TEXTURE_UNITS=34018",
    "gpu.glGetIntegerv[GL_MAX_TEXTURE_UNITS]=[18]",
    "gputag.GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS=35661",
    "gpu.glGetIntegerv[GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS]=[661]",
    "gputag.GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS=35660",
    "gpu.glGetIntegerv[GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS]=[660]",
    "gputag.GL_MAX_TEXTURE_IMAGE_UNITS=34930",
    "gpu.glGetIntegerv[GL_MAX_TEXTURE_IMAGE_UNITS]=[930]",
    "gputag.GL_MAX_DRAW_BUFFERS=34852",
    "gpu.glGetIntegerv[GL_MAX_DRAW_BUFFERS]=[852]",
    "gputag.GL_MAX_VERTEX_UNIFORM_COMPONENTS=35658",
    "gpu.glGetIntegerv[GL_MAX_VERTEX_UNIFORM_COMPONENTS]=[658]",
    "gputag.GL_MAX_FRAGMENT_UNIFORM_COMPONENTS=35657",
    "gpu.glGetIntegerv[GL_MAX_FRAGMENT_UNIFORM_COMPONENTS]=[657]",
    "gputag.GL_MAX_VARYING_FLOATS=35659",
    "gpu.glGetIntegerv[GL_MAX_VARYING_FLOATS]=[659]",
    "gputag.GL_MAX_VERTEX_ATTRIBS=34921",
    "gpu.glGetIntegerv[GL_MAX_VERTEX_ATTRIBS]=[921]",
    "gputag.ZEB::OGL::GL_ARB_VERTEX_PROGRAM=70",
    "gpu.extension[ZEB::OGL::GL_ARB_VERTEX_PROGRAM]=1",
    "gputag.ZEB::OGL::GL_ARB_FRAGMENT_PROGRAM=28",
    "gpu.extension[ZEB::OGL::GL_ARB_FRAGMENT_PROGRAM]=0",
    "gputag.ZEB::OGL::GL_ARB_VERTEX_SHADER=71",
    "gpu.extension[ZEB::OGL::GL_ARB_VERTEX_SHADER]=0",
    "gputag.ZEB::OGL::GL_ARB_FRAGMENT_SHADER=30",
    "gpu.extension[ZEB::OGL::GL_ARB_FRAGMENT_SHADER]=0",
    "gputag.ZEB::OGL::GL_EXT_FRAMEBUFFER_OBJECT=121",
    "gpu.extension[ZEB::OGL::GL_EXT_FRAMEBUFFER_OBJECT]=0",
    "gputag.ZEB::OGL::GL_ARB_TEXTURE_RECTANGLE=64",
    "gpu.extension[ZEB::OGL::GL_ARB_TEXTURE_RECTANGLE]=0",
    "gputag.ZEB::OGL::GL_ARB_TEXTURE_FLOAT=61",
    "gpu.extension[ZEB::OGL::GL_ARB_TEXTURE_FLOAT]=1",
    "gputag.ZEB::OGL::GL_ARB_OCCLUSION_QUERY=42",
    "gpu.extension[ZEB::OGL::GL_ARB_OCCLUSION_QUERY]=0",
    "gputag.ZEB::OGL::GL_ARB_VERTEX_BUFFER_OBJECT=69",
    "gpu.extension[ZEB::OGL::GL_ARB_VERTEX_BUFFER_OBJECT]=0",
    "gputag.ZEB::OGL::GL_ARB_SHADER_TEXTURE_LOD=47",
    "gpu.extension[ZEB::OGL::GL_ARB_SHADER_TEXTURE_LOD]=0",
};

} // namespace

TEST(LumatropeTester, TesterLineThenTheFieldsThenTheTwentyOneQueryGroups)
{
    FakeGPUFactory factory({LumatropeGPU()});
    LumatropeTester tester;
    StreamCapture capture;
    EXPECT_EQ("", RunReport(tester, 0xFFFFFFFFu));

    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(1u + 2u + 13u + kQueryLines.size() + 1u, lines.size());
    EXPECT_EQ("Tester=\"Lumatrope\"", lines[0]);
    EXPECT_EQ(0u, lines[1].find("vexilonStart=\""));
    EXPECT_EQ("NumGPUs=1", lines[2]);
    EXPECT_EQ("gpu.TestFrameBuffer=1", lines[15]);
    EXPECT_EQ(kQueryLines, std::vector<std::string>(lines.begin() + 16, lines.end() - 1));
    EXPECT_EQ(0u, lines.back().find("vexilonEnd=\""));
    EXPECT_EQ(36u + 6u, tester.stepCount);
}

TEST(LumatropeTester, StepsAre36PerGPUPlusSix)
{
    for (std::size_t count = 0; count <= 2; ++count) {
        GPUList gpus;
        for (std::size_t i = 0; i < count; ++i) {
            gpus.push_back(LumatropeGPU());
        }
        FakeGPUFactory factory(gpus);
        const std::uint32_t steps = static_cast<std::uint32_t>(36 * count + 6);

        LumatropeTester passing;
        StreamCapture capture;
        EXPECT_EQ("", RunReport(passing, steps));
        EXPECT_EQ(steps, passing.stepCount);

        LumatropeTester failing;
        EXPECT_EQ("programmed failure", RunReport(failing, steps - 1)) << count << " GPUs";
    }
}

TEST(LumatropeTester, FailAfterZeroOrOneEndsAroundTheTesterLine)
{
    FakeGPUFactory factory({LumatropeGPU()});
    {
        LumatropeTester tester;
        StreamCapture capture;
        EXPECT_EQ("programmed failure", RunReport(tester, 0));
        EXPECT_EQ("", capture.out());
    }
    {
        LumatropeTester tester;
        StreamCapture capture;
        EXPECT_EQ("programmed failure", RunReport(tester, 1));
        EXPECT_EQ("Tester=\"Lumatrope\"\n", capture.out());
    }
}

TEST(LumatropeTester, GLErrorInAQueryEndsTheWholeReportRightAfterItsSymbolLine)
{
    auto first = LumatropeGPU();
    first->failures["GetString"] = "glGetError() == 0";
    auto second = LumatropeGPU();
    FakeGPUFactory factory({first, second});
    LumatropeTester tester;
    StreamCapture capture;
    EXPECT_EQ("glGetError() == 0", RunReport(tester, 0xFFFFFFFFu));

    const std::vector<std::string> lines = SplitLines(capture.out());
    EXPECT_EQ("gputag.GL_SHADING_LANGUAGE_VERSION=35724", lines.back());
    EXPECT_EQ("gpu[0].TestFrameBuffer=1", lines[lines.size() - 2]);
    EXPECT_EQ(0, second->calls["OGLVersion"]);
    EXPECT_EQ("", capture.err());
}

TEST(LumatropeTester, FailedFieldIsCaughtAndTheQueriesStillRun)
{
    auto gpu = LumatropeGPU();
    gpu->failures["MemoryMB"] = "glGetError() == 0";
    FakeGPUFactory factory({gpu});
    LumatropeTester tester;
    StreamCapture capture;
    EXPECT_EQ("", RunReport(tester, 0xFFFFFFFFu));

    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(1u + 2u + 1u + kQueryLines.size() + 1u, lines.size());
    EXPECT_EQ("gpu.OGLVersion=\"3.0\"", lines[3]);
    EXPECT_EQ(kQueryLines.front(), lines[4]);
    EXPECT_EQ("DoRunGPU exception\n", capture.err());
    // One field step and twenty-one query steps for the GPU.
    EXPECT_EQ(2u + 2u + 1u + 21u + 2u, tester.stepCount);
}
