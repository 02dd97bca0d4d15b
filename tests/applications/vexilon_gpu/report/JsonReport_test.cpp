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

TEST(JsonReport, HoldsTheFactsOfEveryBlockAndWhatEndedABlock)
{
    auto first = boost::make_shared<testsupport::FakeGPU>();
    first->failures["Renderer"] = "glGetError() == 0";
    first->kernelDriver = "amdgpu";
    first->kernelDriverVersion = "3.54.0";
    auto second = boost::make_shared<testsupport::FakeGPU>();
    second->extensions = {ZEB::OGL::GL_ARB_VERTEX_PROGRAM};
    testsupport::FakeGPUFactory factory({first, second});
    LumatropeTester tester;
    JsonReport report;
    testsupport::StreamCapture capture;
    ReportOutput::SetSink(&report);
    const std::string escaped = testsupport::RunReport(tester, 0xFFFFFFFFu);
    ReportOutput::SetSink(nullptr);
    EXPECT_EQ("|DoRunGPU exception\n", escaped + "|" + capture.err() + capture.out());

    const json document = json::parse(report.Text());
    const json& gpus = document["gpus"];
    EXPECT_EQ(json({"Lumatrope", 2}), json({document["Tester"], document["NumGPUs"]}));
    ASSERT_EQ(2u, gpus.size());
    EXPECT_EQ(json::parse(R"([{"OGLVersion": "3.0", "MemoryMB": 1024, "RectTextureSize": 8192}, "glGetError() == 0"])"),
              json({gpus[0]["fields"], gpus[0]["failure"]}));
    // The kernel driver's facts are the document's only, sent before the block's first question.
    EXPECT_EQ(json({"amdgpu", "3.54.0"}), json({gpus[0]["kernelDriver"], gpus[0]["kernelDriverVersion"]}));
    EXPECT_EQ(json({"gpu[1]", false, false}),
              json({gpus[1]["tag"], gpus[1].contains("failure"), gpus[1].contains("kernelDriver")}));
    EXPECT_EQ(json({true, 13}), json({gpus[1]["fields"]["HasNPOTSupport"], gpus[1]["fields"].size()}));
    const json& queries = gpus[1]["queries"];
    ASSERT_EQ(21u, queries.size());
    EXPECT_EQ(json::parse(R"({"call": "extension", "arguments": ["ZEB::OGL::GL_ARB_VERTEX_PROGRAM"],
                              "symbols": {"ZEB::OGL::GL_ARB_VERTEX_PROGRAM": 70}, "value": true})"), queries[11]);
}
