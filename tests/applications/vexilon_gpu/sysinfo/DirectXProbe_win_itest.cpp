#include "sysinfo/DirectXProbe.h"

#include "ChildTest.h"
#include "WineDirect3DSettings.h"
#include "WineDllOverrides.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iostream>

using testsupport::ChildTest;
using testsupport::ProcessResult;
using testsupport::WineDirect3DSettings;
using testsupport::WineDllOverrides;
using ::testing::ElementsAre;

namespace {

const char kChild[] = "DirectXProbeChild.DISABLED_TestDirectX";
const char kReturned[] = "TestDirectX returned";

struct Outcome {
    std::vector<std::string> lines;
    DWORD exitCode;
};

// The probe in a fresh process (Wine's Direct3D reads its settings once per
// process), with the libraries named made to fail to load.
Outcome Probe(const std::vector<std::string>& disabledLibraries = {})
{
    WineDllOverrides overrides(WineDllOverrides::ThisProgram());
    for (const std::string& library : disabledLibraries) {
        overrides.disable(library);
    }
    const ProcessResult result = ChildTest::Run(kChild);
    return Outcome{ChildTest::OwnLines(result, kChild), result.exitCode};
}

} // namespace

// Run by the tests below in a child process: a failing probe ends it.
TEST(DirectXProbeChild, DISABLED_TestDirectX)
{
    TestDirectX();
    std::cout << kReturned << std::endl;
}

TEST(DirectXProbeOnWine, Direct3D10DevicePassesSilently)
{
    const Outcome outcome = Probe();
    EXPECT_THAT(outcome.lines, ElementsAre(kReturned));
    EXPECT_EQ(0u, outcome.exitCode);
}

TEST(DirectXProbeOnWine, WithoutDirect3D10PixelShader30Passes)
{
    const Outcome outcome = Probe({"d3d10"});
    EXPECT_THAT(outcome.lines, ElementsAre("shader model: ffff0300", kReturned));
    EXPECT_EQ(0u, outcome.exitCode);
}

TEST(DirectXProbeOnWine, WithoutDirect3DTheProcessEnds)
{
    const Outcome outcome = Probe({"d3d10", "d3d9"});
    EXPECT_THAT(outcome.lines, ElementsAre("Error in loading DirectX: 126", "Return code: 0"));
    EXPECT_EQ(0u, outcome.exitCode);
}

TEST(DirectXProbeOnWine, PixelShader20EndsTheProcess)
{
    WineDirect3DSettings settings;
    settings.setDword("MaxShaderModelPS", 2);
    const Outcome outcome = Probe();
    EXPECT_THAT(outcome.lines, ElementsAre("shader model: 4294902272", "Return code: 0"));
    EXPECT_EQ(0u, outcome.exitCode);
}
