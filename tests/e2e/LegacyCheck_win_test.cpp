// The legacy console check end to end: the real vexilon_gpu.exe under Wine,
// on Wine's WMI, WGL and Direct3D 9 and 10.
#include "LegacyCheckLines.h"
#include "OpenCLFixture.h"
#include "SystemFacts.h"
#include "ToolRunner.h"
#include "WineDirect3DSettings.h"
#include "WineDllOverrides.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

using testsupport::FreshSystemFacts;
using testsupport::LegacyCheckLines;
using testsupport::OpenCLFixture;
using testsupport::ProcessResult;
using testsupport::SystemFacts;
using testsupport::ToolRunner;
using testsupport::VideoControllerFacts;
using testsupport::WineDirect3DSettings;
using testsupport::WineDllOverrides;

namespace {

// Everything up to "OpenGL ok", for the controllers given.
std::vector<std::string> OpenGLPart(const std::vector<VideoControllerFacts>& controllers)
{
    return LegacyCheckLines::Join(
        LegacyCheckLines::Join(LegacyCheckLines::Controllers(controllers), LegacyCheckLines::GLStrings()),
        LegacyCheckLines::OpenGLPasses());
}

std::vector<std::string> OpenGLPart() { return OpenGLPart(SystemFacts::VideoControllers()); }

void ExpectRun(const ProcessResult& result, const std::vector<std::string>& lines, DWORD exitCode)
{
    EXPECT_EQ(LegacyCheckLines::Text(lines), result.out);
    EXPECT_EQ("", result.err);
    EXPECT_EQ(exitCode, result.exitCode);
}

} // namespace

TEST(LegacyCheckEndToEnd, DefaultRunPassesOpenGLAndDirect3D10WithoutOpenCL)
{
    // PoCL, the host's OpenCL, has no GPU device; Wine creates a Direct3D 10 device.
    ExpectRun(ToolRunner::Run({}), LegacyCheckLines::Join(OpenGLPart(), {"Return code: 1"}), 1);
}

TEST(LegacyCheckEndToEnd, SwitchesWithoutQz4LeaveTheCheckAsItIs)
{
    const std::vector<std::string> expected = LegacyCheckLines::Join(OpenGLPart(), {"Return code: 1"});
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--app=Lumatrope"}, {"--failAfter=2"}, {"-qz4"}, {"-qz4", "--qz4"}}) {
        SCOPED_TRACE(arguments.front());
        ExpectRun(ToolRunner::Run(arguments), expected, 1);
    }
}

TEST(LegacyCheckEndToEnd, WithoutDirect3D10TheDirect3D9ShaderModelDecides)
{
    const std::vector<std::string> openGL = OpenGLPart();
    WineDllOverrides overrides("vexilon_gpu.exe");
    overrides.disable("d3d10");
    ExpectRun(ToolRunner::Run({}), LegacyCheckLines::Join(openGL, {"shader model: ffff0300", "Return code: 1"}), 1);

    overrides.disable("d3d9");
    ExpectRun(ToolRunner::Run({}),
              LegacyCheckLines::Join(openGL, {"Error in loading DirectX: 126", "Return code: 0"}), 0);
}

TEST(LegacyCheckEndToEnd, PixelShader20FailsTheCheck)
{
    WineDirect3DSettings settings;
    settings.setDword("MaxShaderModelPS", 2);
    ExpectRun(ToolRunner::Run({}),
              LegacyCheckLines::Join(OpenGLPart(FreshSystemFacts::Read().controllers),
                                     {"shader model: 4294902272", "Return code: 0"}),
              0);
}

TEST(LegacyCheckEndToEnd, ControllerLineShowsTheVideoMemoryInMiB)
{
    WineDirect3DSettings settings;
    settings.setString("VideoMemorySize", "2048");
    const std::vector<VideoControllerFacts> controllers = FreshSystemFacts::Read().controllers;
    ASSERT_FALSE(controllers.empty());
    for (const VideoControllerFacts& controller : controllers) {
        ASSERT_EQ(2048u, controller.adapterRAM >> 20) << controller.caption;
    }
    ExpectRun(ToolRunner::Run({}), LegacyCheckLines::Join(OpenGLPart(controllers), {"Return code: 1"}), 1);
}

// Rates are exact and GL draws go untimed while a fixture is in use, so a
// device's rate is its own on any machine: 12 is enough, 11 is not.
TEST(LegacyCheckEndToEnd, FastOpenCLDeviceGivesReturnCode3)
{
    using Options = OpenCLFixture::DeviceOptions;
    OpenCLFixture fixture;
    fixture.addPlatform("OpenCL 1.2 fixture").addGpuDevice(Options().rate(2)).addGpuDevice(Options().rate(12));
    ExpectRun(ToolRunner::Run({}, fixture.environment()),
              LegacyCheckLines::Join(OpenGLPart(), {"OpenCL ok, version=1.2 fixture", "Return code: 3"}), 3);
}

TEST(LegacyCheckEndToEnd, NoOpenCLLineWhenNoDevicePasses)
{
    const std::vector<std::string> expected = LegacyCheckLines::Join(OpenGLPart(), {"Return code: 1"});
    {
        SCOPED_TRACE("slow devices");
        OpenCLFixture fixture;
        fixture.addPlatform("OpenCL 1.2 fixture")
            .addGpuDevice(OpenCLFixture::DeviceOptions().rate(11))
            .addGpuDevice(OpenCLFixture::DeviceOptions().rate(2));
        ExpectRun(ToolRunner::Run({}, fixture.environment()), expected, 1);
    }
    {
        SCOPED_TRACE("OpenCL 1.0 only");
        OpenCLFixture fixture;
        fixture.addPlatform("OpenCL 1.0 fixture").addGpuDevice().addGpuDevice();
        ExpectRun(ToolRunner::Run({}, fixture.environment()), expected, 1);
    }
}
