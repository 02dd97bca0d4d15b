#include "report/LumatropeTester.h"

#include "FakeGPU.h"
#include "FakeGPUFactory.h"
#include "LumatropeGroups.h"
#include "ReportRun.h"
#include "StreamCapture.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

using testsupport::FakeGPU;
using testsupport::FakeGPUFactory;
using testsupport::RunReport;
using testsupport::SplitLines;
using testsupport::StreamCapture;

namespace {

// A GPU with a distinct answer for every Lumatrope query.
boost::shared_ptr<FakeGPU> LumatropeGPU()
{
    auto gpu = boost::make_shared<FakeGPU>();
    gpu->strings[0x8B8C] = "4.50";
    gpu->programIntegers[0x88A1] = 1048576;
    for (GLenum limit : {0x84E2, 0x8B4D, 0x8B4C, 0x8872, 0x8824, 0x8B4A, 0x8B49, 0x8B4B, 0x8869}) {
        gpu->integers[limit] = static_cast<GLint>(limit % 1000);
    }
    gpu->extensions = {ZEB::OGL::GL_ARB_VERTEX_PROGRAM, ZEB::OGL::GL_ARB_TEXTURE_FLOAT};
    return gpu;
}

std::vector<std::string> QueryLines()
{
    testsupport::LumatropeAnswers answers;
    answers.shadingLanguageVersion = "4.50";
    answers.fragmentProgramInstructions = "1048576";
    answers.limit = [](const std::string&, int enumerant) { return std::to_string(enumerant % 1000); };
    answers.hasExtension = [](const std::string& name) {
        return name == "GL_ARB_vertex_program" || name == "GL_ARB_texture_float";
    };
    return testsupport::LumatropeGroupLines(answers);
}

} // namespace

// The lines themselves are checked end to end against the GL; here, the
// steps and the failures a real GL seldom gives.
TEST(LumatropeTester, StepsAre36PerGPUPlusSixAndTheTesterLineIsTheFirst)
{
    for (std::size_t count = 0; count <= 2; ++count) {
        FakeGPUFactory factory(count == 0 ? GPUList() : GPUList(count, LumatropeGPU()));
        const std::uint32_t steps = static_cast<std::uint32_t>(36 * count + 6);
        LumatropeTester passing;
        StreamCapture capture;
        EXPECT_EQ("", RunReport(passing, steps));
        EXPECT_EQ(steps, passing.stepCount);
        LumatropeTester failing;
        EXPECT_EQ("programmed failure", RunReport(failing, steps - 1)) << count << " GPUs";
    }
    FakeGPUFactory factory({LumatropeGPU()});
    LumatropeTester tester;
    StreamCapture capture;
    EXPECT_EQ("programmed failure", RunReport(tester, 1));
    EXPECT_EQ("Tester=\"Lumatrope\"\n", capture.out());
}

TEST(LumatropeTester, FailedFieldEndsTheFieldsButAFailedQueryEndsTheReport)
{
    auto first = LumatropeGPU();
    first->failures["MemoryMB"] = "glGetError() == 0";
    first->failures["IsExtensionSupported"] = "glGetError() == 0";
    FakeGPUFactory factory({first, LumatropeGPU()});
    LumatropeTester tester;
    StreamCapture capture;
    EXPECT_EQ("glGetError() == 0", RunReport(tester, 0xFFFFFFFFu));

    std::vector<std::string> queries = QueryLines();
    for (std::string& line : queries) {
        line.replace(0, 3, line.compare(0, 6, "gputag") == 0 ? "gpu" : "gpu[0]");
    }
    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(4u + 24u, lines.size());
    EXPECT_EQ("gpu[0].OGLVersion=\"3.0\"", lines[3]);
    // Every group up to and including the first extension's symbol line.
    EXPECT_EQ(std::vector<std::string>(queries.begin(), queries.begin() + 24),
              std::vector<std::string>(lines.begin() + 4, lines.end()));
    EXPECT_EQ("DoRunGPU exception\n", capture.err());
}
