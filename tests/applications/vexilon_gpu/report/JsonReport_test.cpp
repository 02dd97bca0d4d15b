// The JSON document as a real run's lines and failed blocks make it.
#include "report/JsonReport.h"

#include "FakeGPU.h"
#include "FakeGPUFactory.h"
#include "ReportRun.h"
#include "StreamCapture.h"
#include "report/LumatropeTester.h"
#include "report/ReportOutput.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

using json = nlohmann::ordered_json;  // keeps the report's order
using testsupport::FakeGPU;

TEST(JsonReport, HoldsTheFactsOfEveryBlockAndWhatEndedABlock)
{
    auto first = boost::make_shared<FakeGPU>();
    first->failures["Renderer"] = "glGetError() == 0";
    auto second = boost::make_shared<FakeGPU>();
    // A driver's bytes: quotes, a backslash, a control character, UTF-8 and a byte that is not UTF-8.
    second->renderer = "R \"q\" \\ \x01 \xC3\xA9 \xFF";
    second->extensions = {ZEB::OGL::GL_ARB_VERTEX_PROGRAM};
    testsupport::FakeGPUFactory factory({first, second});
    LumatropeTester tester;
    JsonReport report;
    testsupport::StreamCapture capture;
    ReportOutput::SetSink(&report);
    const std::string escaped = testsupport::RunReport(tester, 0xFFFFFFFFu);
    ReportOutput::SetSink(nullptr);
    report.Line("Unknown line");
    ASSERT_EQ("", escaped);
    EXPECT_EQ("", capture.out());
    EXPECT_EQ("DoRunGPU exception\n", capture.err());

    json document = json::parse(report.Text());
    const json gpus = document["gpus"];
    EXPECT_EQ(json::parse(R"(["Unknown line"])"), document["otherLines"]);
    for (const char* key : {"vexilonStart", "gpus", "vexilonEnd", "otherLines"}) {
        document.erase(key);
    }
    EXPECT_EQ(json::parse(R"({"Tester": "Lumatrope", "NumGPUs": 2})"), document);
    ASSERT_EQ(2u, gpus.size());
    EXPECT_EQ(json::parse(R"({"OGLVersion": "3.0", "MemoryMB": 1024, "RectTextureSize": 8192})"), gpus[0]["fields"]);
    EXPECT_EQ("glGetError() == 0", gpus[0]["failure"]);
    EXPECT_EQ(21u, gpus[0]["queries"].size());
    EXPECT_EQ("gpu[1]", gpus[1]["tag"]);
    EXPECT_FALSE(gpus[1].contains("failure"));
    EXPECT_EQ("R \"q\" \\ \x01 \xC3\xA9 \xEF\xBF\xBD", gpus[1]["fields"]["Renderer"]);
    EXPECT_EQ(json({true, 13}), json({gpus[1]["fields"]["HasNPOTSupport"], gpus[1]["fields"].size()}));
    const json& queries = gpus[1]["queries"];
    ASSERT_EQ(21u, queries.size());
    EXPECT_EQ(json::parse(R"({"call": "extension", "arguments": ["ZEB::OGL::GL_ARB_VERTEX_PROGRAM"],
                              "symbols": {"ZEB::OGL::GL_ARB_VERTEX_PROGRAM": 70}, "value": true})"), queries[11]);
    EXPECT_EQ(false, queries[12]["value"]);
}
