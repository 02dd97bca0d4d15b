#include "report/Tester.h"

#include "FakeGPU.h"
#include "FakeGPUFactory.h"
#include "ReportRun.h"
#include "StreamCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <regex>
#include <sstream>
#include <stdexcept>

using testsupport::FakeGPU;
using testsupport::FakeGPUFactory;
using testsupport::RunReport;
using testsupport::SplitLines;
using testsupport::StreamCapture;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

boost::shared_ptr<FakeGPU> MakeGPU() { return boost::make_shared<FakeGPU>(); }

const std::regex kStartMarker("vexilonStart=\"\\d{4}-\\d{2}-\\d{2}_\\d{2}:\\d{2}:\\d{2}\"");
const std::regex kEndMarker("vexilonEnd=\"\\d{4}-\\d{2}-\\d{2}_\\d{2}:\\d{2}:\\d{2}\"");

std::vector<std::string> FullBlock(const std::string& tag)
{
    return {tag + ".OGLVersion=\"3.0\"",
            tag + ".MemoryMB=1024",
            tag + ".RectTextureSize=8192",
            tag + ".Renderer=\"Fake Renderer\"",
            tag + ".RendererID=4660",
            tag + ".Vendor=\"Fake Vendor\"",
            tag + ".VendorID=4318",
            tag + ".HasNPOTSupport=1",
            tag + ".DriverVersion=\"1.2.3.4\"",
            tag + ".Driver=\"fake.dll\"",
            tag + ".DriverDate=\"20240101000000.000000-000\"",
            tag + ".CompileProgramGLSL=1",
            tag + ".TestFrameBuffer=1"};
}

} // namespace

TEST(Tester, EmptyListGivesMarkersAndCountOnly)
{
    FakeGPUFactory factory;
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ("", RunReport(tester, 0xFFFFFFFFu));

    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(3u, lines.size());
    EXPECT_TRUE(std::regex_match(lines[0], kStartMarker)) << lines[0];
    EXPECT_EQ("NumGPUs=0", lines[1]);
    EXPECT_TRUE(std::regex_match(lines[2], kEndMarker)) << lines[2];
    EXPECT_EQ(5u, tester.stepCount);
    EXPECT_EQ("", capture.err());
}

TEST(Tester, SingleGPUUsesTheBareTagAndWritesEveryFieldInOrder)
{
    auto gpu = MakeGPU();
    gpu->oclAnswers = {"1.2 pocl"};
    gpu->cudaAnswers = {"4.2.1", "5.0"};
    FakeGPUFactory factory({gpu});
    Tester tester;
    StreamCapture capture;
    RunReport(tester, 0xFFFFFFFFu);

    std::vector<std::string> expected = FullBlock("gpu");
    expected.push_back("gpu.OCLVersion=\"1.2 pocl\"");
    // The CUDA text is asked twice: once to see whether there is one, once to write it.
    expected.push_back("gpu.CUDAVersion=\"5.0\"");
    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(expected.size() + 3, lines.size());
    EXPECT_EQ("NumGPUs=1", lines[1]);
    EXPECT_EQ(expected, std::vector<std::string>(lines.begin() + 2, lines.end() - 1));
    EXPECT_EQ(20u, tester.stepCount);
    EXPECT_EQ(2, gpu->calls["CUDAVersion"]);
    EXPECT_EQ(1, gpu->calls["OCLVersion"]);
}

TEST(Tester, SeveralGPUsAreTaggedByIndex)
{
    auto first = MakeGPU();
    auto second = MakeGPU();
    second->renderer = "Second \"quoted\" renderer";
    FakeGPUFactory factory({first, second});
    Tester tester;
    StreamCapture capture;
    RunReport(tester, 0xFFFFFFFFu);

    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(2u + 13u + 13u + 1u, lines.size());
    EXPECT_EQ("NumGPUs=2", lines[1]);
    EXPECT_EQ(FullBlock("gpu[0]"), std::vector<std::string>(lines.begin() + 2, lines.begin() + 15));
    EXPECT_EQ("gpu[1].OGLVersion=\"3.0\"", lines[15]);
    EXPECT_EQ("gpu[1].Renderer=\"Second \"quoted\" renderer\"", lines[18]);
    EXPECT_EQ(35u, tester.stepCount);
}

TEST(Tester, EmptyOptionalFieldsWriteNoLineButStillTakeTheirStep)
{
    auto gpu = MakeGPU();
    gpu->driverVersion.clear();
    gpu->driver.clear();
    gpu->driverDate.clear();
    FakeGPUFactory factory({gpu});
    Tester tester;
    StreamCapture capture;
    RunReport(tester, 0xFFFFFFFFu);

    const std::string out = capture.out();
    EXPECT_EQ(std::string::npos, out.find(".Driver"));
    EXPECT_EQ(std::string::npos, out.find(".OCLVersion"));
    EXPECT_EQ(std::string::npos, out.find(".CUDAVersion"));
    EXPECT_EQ(1, gpu->calls["CUDAVersion"]);  // empty: not asked a second time
    EXPECT_EQ(20u, tester.stepCount);
}

TEST(Tester, NumbersAndBooleansUseTheirBareForms)
{
    auto gpu = MakeGPU();
    gpu->rectTextureSize = -1;  // written as the unsigned 32-bit number
    gpu->memoryMB = 4294967295u;
    gpu->npot = false;
    gpu->compileGLSL = false;
    gpu->frameBuffer = false;
    FakeGPUFactory factory({gpu});
    Tester tester;
    StreamCapture capture;
    RunReport(tester, 0xFFFFFFFFu);

    const std::string out = capture.out();
    EXPECT_NE(std::string::npos, out.find("gpu.RectTextureSize=4294967295\n"));
    EXPECT_NE(std::string::npos, out.find("gpu.MemoryMB=4294967295\n"));
    EXPECT_NE(std::string::npos, out.find("gpu.HasNPOTSupport=0\n"));
    EXPECT_NE(std::string::npos, out.find("gpu.CompileProgramGLSL=0\n"));
    EXPECT_NE(std::string::npos, out.find("gpu.TestFrameBuffer=0\n"));
}

TEST(Tester, ThrowingOperationEndsOnlyThatGPUsBlock)
{
    auto first = MakeGPU();
    first->failures["Renderer"] = "glGetError() == 0";
    auto second = MakeGPU();
    FakeGPUFactory factory({first, second});
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ("", RunReport(tester, 0xFFFFFFFFu));

    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(2u + 3u + 13u + 1u, lines.size());
    EXPECT_EQ("gpu[0].RectTextureSize=8192", lines[4]);
    EXPECT_EQ("gpu[1].OGLVersion=\"3.0\"", lines[5]);
    EXPECT_TRUE(std::regex_match(lines.back(), kEndMarker));
    EXPECT_EQ("DoRunGPU exception\n", capture.err());
    EXPECT_EQ(0, first->calls["RendererID"]);
    // Three steps for the first GPU's written fields, fifteen for the second.
    EXPECT_EQ(3u + 3u + 15u + 2u, tester.stepCount);
}

TEST(Tester, FailAfterZeroFailsInBeginBeforeAnyLine)
{
    FakeGPUFactory factory({MakeGPU()});
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ("programmed failure", RunReport(tester, 0));
    EXPECT_EQ("", capture.out());
    EXPECT_EQ(0, factory.creations());
}

TEST(Tester, FailAfterOneWritesTheStartMarkerOnly)
{
    FakeGPUFactory factory({MakeGPU()});
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ("programmed failure", RunReport(tester, 1));
    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(1u, lines.size());
    EXPECT_TRUE(std::regex_match(lines[0], kStartMarker));
}

TEST(Tester, FailAfterTwoWritesTheCountLineThenFails)
{
    FakeGPUFactory factory({MakeGPU()});
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ("programmed failure", RunReport(tester, 2));
    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("NumGPUs=1", lines[1]);
    EXPECT_EQ(1, factory.creations());
}

TEST(Tester, WorkedExampleOfTwoGPUsFailingAfterThreeSteps)
{
    FakeGPUFactory factory({MakeGPU(), MakeGPU()});
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ("programmed failure", RunReport(tester, 3));

    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ("NumGPUs=2", lines[1]);
    EXPECT_EQ("gpu[0].OGLVersion=\"3.0\"", lines[2]);
    EXPECT_EQ("gpu[1].OGLVersion=\"3.0\"", lines[3]);
    EXPECT_TRUE(std::regex_match(lines[4], kEndMarker));
    EXPECT_EQ("DoRunGPU exception\nDoRunGPU exception\n", capture.err());
    EXPECT_EQ(6u, tester.stepCount);
}

TEST(Tester, OnlyEndFailsWhenTheLimitIsOneShortOfAllSteps)
{
    for (std::size_t count = 0; count <= 2; ++count) {
        GPUList gpus;
        for (std::size_t i = 0; i < count; ++i) {
            gpus.push_back(MakeGPU());
        }
        FakeGPUFactory factory(gpus);
        const std::uint32_t steps = static_cast<std::uint32_t>(15 * count + 5);

        Tester failing;
        StreamCapture capture;
        EXPECT_EQ("programmed failure", RunReport(failing, steps - 1)) << count << " GPUs";
        EXPECT_TRUE(std::regex_match(SplitLines(capture.out()).back(), kEndMarker));
        EXPECT_EQ("", capture.err());

        Tester passing;
        EXPECT_EQ("", RunReport(passing, steps)) << count << " GPUs";
        EXPECT_EQ(steps, passing.stepCount);
    }
}

TEST(Tester, OnceTheLimitIsReachedEveryLaterStepFails)
{
    Tester tester;
    tester.failAfter = 1;
    tester.Step();
    EXPECT_THROW(tester.Step(), std::runtime_error);
    EXPECT_THROW(tester.Step(), std::runtime_error);
    EXPECT_EQ(3u, tester.stepCount);
}

namespace {
class QuietFailTester : public Tester {
public:
    int fails = 0;
    void Fail() override { ++fails; }
};
} // namespace

TEST(Tester, StepRaisesTheProgrammedFailureEvenWhenAnOverrideOfFailReturns)
{
    QuietFailTester tester;
    tester.failAfter = 0;
    try {
        tester.Step();
        FAIL() << "Step returned";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ("programmed failure", failure.what());
    }
    EXPECT_EQ(1, tester.fails);
}

TEST(Tester, FactoryExceptionReachesTheCallerAfterTheStartMarker)
{
    class ThrowingFactory : public testsupport::FakeGPUFactory {
    protected:
        GPUList CreateGPUs() override { throw std::runtime_error("pSvc->ExecQuery"); }
    } factory;
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ("pSvc->ExecQuery", RunReport(tester, 0xFFFFFFFFu));
    EXPECT_EQ(1u, SplitLines(capture.out()).size());
}

TEST(Tester, GLStringWritesSymbolLineThenQuotedText)
{
    FakeGPU gpu;
    gpu.strings[0x8B8C] = "4.50";
    Tester tester;
    StreamCapture capture;
    tester.ReportGLString(gpu, "gpu", "GL_SHADING_LANGUAGE_VERSION", 0x8B8C);
    EXPECT_EQ("gputag.GL_SHADING_LANGUAGE_VERSION=35724\n"
              "gpu.glGetString[GL_SHADING_LANGUAGE_VERSION]=\"4.50\"\n",
              capture.out());
    EXPECT_EQ(0u, tester.stepCount);
}

TEST(Tester, GLIntegervWritesTheValueList)
{
    FakeGPU gpu;
    // The fake, like GL, writes every value of the query: the buffer must hold them.
    gpu.integers[0x8824] = {8, -3, 0};
    gpu.integers[0x0D33] = {8};
    Tester tester;
    StreamCapture capture;
    tester.ReportGLIntegerv(gpu, "gpu[1]", "GL_MAX_DRAW_BUFFERS", 0x8824, 3);
    tester.ReportGLIntegerv(gpu, "gpu[1]", "GL_MAX_TEXTURE_SIZE", 0x0D33, 1);
    EXPECT_EQ("gputag.GL_MAX_DRAW_BUFFERS=34852\n"
              "gpu[1].glGetIntegerv[GL_MAX_DRAW_BUFFERS]=[8, -3, 0]\n"
              "gputag.GL_MAX_TEXTURE_SIZE=3379\n"
              "gpu[1].glGetIntegerv[GL_MAX_TEXTURE_SIZE]=[8]\n",
              capture.out());
}

TEST(Tester, GLProgramivARBWritesTheFragmentProgramLineFirst)
{
    FakeGPU gpu;
    gpu.programIntegers[0x88A1] = {1024};
    Tester tester;
    StreamCapture capture;
    tester.ReportGLProgramivARB(gpu, "gpu", "GL_MAX_PROGRAM_INSTRUCTIONS_ARB", 0x88A1, 1);
    EXPECT_EQ("gputag.GL_FRAGMENT_PROGRAM_ARB=34820\n"
              "gputag.GL_MAX_PROGRAM_INSTRUCTIONS_ARB=34977\n"
              "gpu.glGetProgramivARB[GL_FRAGMENT_PROGRAM_ARB][GL_MAX_PROGRAM_INSTRUCTIONS_ARB]=[1024]\n",
              capture.out());
}

TEST(Tester, ExtensionWritesOneOrZero)
{
    FakeGPU gpu;
    gpu.extensions[ZEB::OGL::GL_ARB_TEXTURE_FLOAT] = true;
    Tester tester;
    StreamCapture capture;
    tester.ReportExtension(gpu, "gpu", "ZEB::OGL::GL_ARB_TEXTURE_FLOAT", ZEB::OGL::GL_ARB_TEXTURE_FLOAT);
    tester.ReportExtension(gpu, "gpu", "ZEB::OGL::GL_ARB_OCCLUSION_QUERY", ZEB::OGL::GL_ARB_OCCLUSION_QUERY);
    EXPECT_EQ("gputag.ZEB::OGL::GL_ARB_TEXTURE_FLOAT=61\n"
              "gpu.extension[ZEB::OGL::GL_ARB_TEXTURE_FLOAT]=1\n"
              "gputag.ZEB::OGL::GL_ARB_OCCLUSION_QUERY=42\n"
              "gpu.extension[ZEB::OGL::GL_ARB_OCCLUSION_QUERY]=0\n",
              capture.out());
}

TEST(Tester, FailingGLQueriesKeepOnlyTheLinesWrittenBeforeTheAsk)
{
    FakeGPU gpu;
    gpu.failures["GetString"] = "glGetError() == 0";
    gpu.failures["GetIntegerv"] = "glGetError() == 0";
    gpu.failures["GetProgramivARB"] = "glGetError() == 0";
    gpu.failures["IsExtensionSupported"] = "ZEB::OGL::ExtensionManager::Instance() returned NULL";
    Tester tester;
    StreamCapture capture;
    EXPECT_THROW(tester.ReportGLString(gpu, "gpu", "GL_SHADING_LANGUAGE_VERSION", 0x8B8C), std::runtime_error);
    EXPECT_THROW(tester.ReportGLIntegerv(gpu, "gpu", "GL_MAX_VERTEX_ATTRIBS", 0x8869, 1), std::runtime_error);
    EXPECT_THROW(tester.ReportGLProgramivARB(gpu, "gpu", "GL_MAX_PROGRAM_INSTRUCTIONS_ARB", 0x88A1, 1),
                 std::runtime_error);
    EXPECT_THROW(tester.ReportExtension(gpu, "gpu", "ZEB::OGL::GL_ARB_VERTEX_SHADER", ZEB::OGL::GL_ARB_VERTEX_SHADER),
                 std::runtime_error);
    EXPECT_THAT(SplitLines(capture.out()), ElementsAre("gputag.GL_SHADING_LANGUAGE_VERSION=35724",
                                                  "gputag.GL_FRAGMENT_PROGRAM_ARB=34820",
                                                  "gputag.GL_MAX_PROGRAM_INSTRUCTIONS_ARB=34977",
                                                  "gputag.ZEB::OGL::GL_ARB_VERTEX_SHADER=71"));
}
