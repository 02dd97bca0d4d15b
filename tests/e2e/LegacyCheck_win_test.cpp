// The legacy console check end to end: the real vexilon_gpu.exe under Wine,
// on Wine's WMI, WGL and Direct3D 10, and the test OpenCL runtime.
#include "OpenCLFixture.h"
#include "ReferenceGL.h"
#include "SystemFacts.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <memory>

using testsupport::OpenCLFixture;
using testsupport::ProcessResult;

// Rates are exact and GL draws go untimed while a fixture is in use, so a
// device's rate is its own on any machine: 12 is enough, 11 is not. (Wine's
// components switched off or changed: the report's end-to-end table.)
TEST(LegacyCheckEndToEnd, OutcomesOnWinesDirect3DAndTheOpenCLDevices)
{
    const struct {
        const char* name;
        std::vector<std::pair<std::string, double>> devices;  // platform version, rate; none: the host's PoCL
        std::vector<std::string> end;                        // after "OpenGL ok"
        DWORD exitCode;
    } cases[] = {
        // PoCL has no GPU device; Wine creates a Direct3D 10 device.
        {"default", {}, {"Return code: 1"}, 1},
        {"fast device", {{"OpenCL 1.2 fix\r\nture", 2}, {"OpenCL 1.2 fix\r\nture", 12}},
         {"OpenCL ok, version=1.2 fix  ture", "Return code: 3"}, 3},
        {"no device passes", {{"OpenCL 1.2 fixture", 11}, {"OpenCL 1.0 fixture", 12}}, {"Return code: 1"}, 1},
    };
    const testsupport::ReferenceGL gl;
    for (const auto& c : cases) {
        std::unique_ptr<OpenCLFixture> opencl(c.devices.empty() ? nullptr : new OpenCLFixture);
        std::string platform;
        for (const auto& device : c.devices) {
            if (device.first != platform) {
                opencl->addPlatform(platform = device.first);
            }
            opencl->addGpuDevice(OpenCLFixture::DeviceOptions().rate(device.second));
        }
        // Video memory in whole MiB, as WMI reports it under the settings.
        std::string expected;
        for (const auto& controller : testsupport::FreshSystemFacts::Read().controllers) {
            expected += "Device: " + controller.caption +
                        " has video RAM(MB): " + std::to_string(controller.adapterRAM >> 20) + "\r\n";
        }
        expected += "Vendor string:    " + gl.text(GL_VENDOR) + "\r\nRenderer string:  " + gl.text(GL_RENDERER) +
                    "\r\nVersion string:   " + gl.text(GL_VERSION) +
                    "\r\n\r\nOpenGL version as determined by Quernwheel...\r\nOpenGL Version 3.0\r\n"
                    "Has NPOT support: TRUE\r\nHas Framebuffer Object Extension support: TRUE\r\nOpenGL ok\r\n";
        for (const std::string& line : c.end) {
            expected += line + "\r\n";
        }
        const ProcessResult result =
            // Without --qz4 the report's switches change nothing.
            testsupport::ToolRunner::Run({"--app=Lumatrope", "--failAfter=0"},
                                         opencl ? opencl->environment() : std::map<std::string, std::string>());
        EXPECT_EQ(expected, result.out) << c.name;
        EXPECT_EQ("", result.err) << c.name;
        EXPECT_EQ(c.exitCode, result.exitCode) << c.name;
    }
}
