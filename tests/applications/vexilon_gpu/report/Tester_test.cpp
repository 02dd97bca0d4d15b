#include "report/Tester.h"

#include "FakeGPU.h"
#include "FakeGPUFactory.h"
#include "ReportRun.h"
#include "StreamCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <regex>
#include <stdexcept>

using testsupport::FakeGPU;
using testsupport::FakeGPUFactory;
using testsupport::RunReport;
using testsupport::SplitLines;
using testsupport::StreamCapture;

namespace {

const std::regex kStartMarker("vexilonStart=\"\\d{4}-\\d{2}-\\d{2}_\\d{2}:\\d{2}:\\d{2}\"");
const std::regex kEndMarker("vexilonEnd=\"\\d{4}-\\d{2}-\\d{2}_\\d{2}:\\d{2}:\\d{2}\"");

GPUList MakeGPUs(std::size_t count)
{
    GPUList gpus;
    while (gpus.size() < count) {
        gpus.push_back(boost::make_shared<FakeGPU>());
    }
    return gpus;
}

std::vector<std::string> FullBlock(const std::string& tag)
{
    return {tag + ".OGLVersion=\"3.0\"",     tag + ".MemoryMB=1024",
            tag + ".RectTextureSize=8192",   tag + ".Renderer=\"Fake Renderer\"",
            tag + ".RendererID=4660",        tag + ".Vendor=\"Fake Vendor\"",
            tag + ".VendorID=4318",          tag + ".HasNPOTSupport=1",
            tag + ".DriverVersion=\"1.2.3.4\"", tag + ".Driver=\"fake.dll\"",
            tag + ".DriverDate=\"20240101000000.000000-000\"", tag + ".CompileProgramGLSL=1",
            tag + ".TestFrameBuffer=1"};
}

} // namespace

TEST(Tester, SingleGPUUsesTheBareTagAndWritesEveryFieldInOrder)
{
    auto gpu = boost::make_shared<FakeGPU>();
    gpu->oclAnswers = {"1.2 pocl"};
    gpu->cudaAnswers = {"4.2.1", "5.0"};
    gpu->rectTextureSize = -1;  // written as the unsigned 32-bit number
    gpu->memoryMB = 0xFFFFFFFFu;
    gpu->npot = false;
    gpu->compileGLSL = gpu->frameBuffer = false;
    FakeGPUFactory factory({gpu});
    Tester tester;
    StreamCapture capture;
    RunReport(tester, 0xFFFFFFFFu);

    std::vector<std::string> expected = FullBlock("gpu");
    expected[2] = "gpu.RectTextureSize=4294967295";
    expected[1] = "gpu.MemoryMB=4294967295";
    expected[7] = "gpu.HasNPOTSupport=0";
    expected[11] = "gpu.CompileProgramGLSL=0";
    expected[12] = "gpu.TestFrameBuffer=0";
    expected.push_back("gpu.OCLVersion=\"1.2 pocl\"");
    // The CUDA text is asked twice: once to see whether there is one, once to write it.
    expected.push_back("gpu.CUDAVersion=\"5.0\"");
    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(expected.size() + 3, lines.size());
    EXPECT_EQ("NumGPUs=1", lines[1]);
    EXPECT_EQ(expected, std::vector<std::string>(lines.begin() + 2, lines.end() - 1));
    EXPECT_EQ(20u, tester.stepCount);
}

TEST(Tester, ThrowingOperationEndsOnlyThatGPUsBlockAndEmptyTextsWriteNoLine)
{
    auto first = boost::make_shared<FakeGPU>();
    first->failures["Renderer"] = "glGetError() == 0";
    auto second = boost::make_shared<FakeGPU>();
    // A line break in a driver's text must not split the field's line.
    second->renderer = "Second \"quoted\"\rrenderer\r\nwith\nbreaks\r\n";
    second->driverDate.clear();
    FakeGPUFactory factory({first, second});
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ("", RunReport(tester, 0xFFFFFFFFu));

    std::vector<std::string> expected = FullBlock("gpu[0]");
    expected.resize(3);
    std::vector<std::string> secondBlock = FullBlock("gpu[1]");
    secondBlock[3] = "gpu[1].Renderer=\"Second \"quoted\" renderer  with breaks  \"";
    secondBlock.erase(secondBlock.begin() + 10);
    expected.insert(expected.end(), secondBlock.begin(), secondBlock.end());
    const std::vector<std::string> lines = SplitLines(capture.out());
    ASSERT_EQ(expected.size() + 3, lines.size());
    EXPECT_EQ(expected, std::vector<std::string>(lines.begin() + 2, lines.end() - 1));
    EXPECT_EQ("DoRunGPU exception\n", capture.err());
    // Three steps for the first GPU's written fields, fifteen for the second.
    EXPECT_EQ(3u + 3u + 15u + 2u, tester.stepCount);
}

// A block cut by standard output is not one GPU's failure: the run ends.
TEST(Tester, StandardOutputFailingInABlockEndsTheRun)
{
    struct LosesOutput : FakeGPU {
        std::string Renderer() override { return std::cout.setstate(std::ios::badbit), FakeGPU::Renderer(); }
    };
    FakeGPUFactory factory({boost::make_shared<LosesOutput>(), boost::make_shared<FakeGPU>()});
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ("cannot write the report: standard output failed", RunReport(tester, 0xFFFFFFFFu));
    std::cout.clear();
    EXPECT_EQ("", capture.err());
}

// failAfter counts steps: the start marker, the count line, fifteen per GPU
// (one per field) and the end marker; the step that reaches the limit fails.
struct FailAfterCase {
    std::size_t gpus;
    std::uint32_t failAfter;
    std::size_t lines;   // lines written
    std::string error;   // what escapes the run
    std::string stderrText;
    int creations;
};

class TesterFailAfter : public ::testing::TestWithParam<FailAfterCase> {};

TEST_P(TesterFailAfter, EndsAtItsStep)
{
    const FailAfterCase& c = GetParam();
    FakeGPUFactory factory(MakeGPUs(c.gpus));
    Tester tester;
    StreamCapture capture;
    EXPECT_EQ(c.error, RunReport(tester, c.failAfter));
    const std::vector<std::string> lines = SplitLines(capture.out());
    EXPECT_EQ(c.lines, lines.size()) << capture.out();
    if (!lines.empty()) {
        EXPECT_TRUE(std::regex_match(lines[0], kStartMarker)) << lines[0];
    }
    if (lines.size() > 2) {
        EXPECT_EQ("NumGPUs=" + std::to_string(c.gpus), lines[1]);
        EXPECT_TRUE(std::regex_match(lines.back(), kEndMarker)) << lines.back();
    }
    EXPECT_EQ(c.stderrText, capture.err());
    EXPECT_EQ(c.creations, factory.creations());
}

const std::string kFailure = "programmed failure";
const std::string kTwoBlocksEnded = "DoRunGPU exception\nDoRunGPU exception\n";
INSTANTIATE_TEST_SUITE_P(Steps, TesterFailAfter,
                         ::testing::Values(FailAfterCase{1, 0, 0, kFailure, "", 0},
                                           FailAfterCase{1, 1, 1, kFailure, "", 0},
                                           FailAfterCase{1, 2, 2, kFailure, "", 1},
                                           // Both GPUs end at their first field; End still writes.
                                           FailAfterCase{2, 3, 5, kFailure, kTwoBlocksEnded, 1},
                                           FailAfterCase{0, 4, 3, kFailure, "", 1},
                                           FailAfterCase{0, 5, 3, "", "", 1},
                                           FailAfterCase{2, 34, 29, kFailure, "", 1},
                                           FailAfterCase{2, 35, 29, "", "", 1}));
