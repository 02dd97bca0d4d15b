#include "sysinfo/VideoControllerListing.h"

#include "sysinfo/EscapeWideString.h"

#include "ChildTest.h"
#include "StreamCapture.h"
#include "WineDirect3DSettings.h"
#include "WmiVideoControllers.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

using testsupport::ChildTest;
using testsupport::ProcessResult;
using testsupport::SplitLines;
using testsupport::StreamCapture;
using testsupport::WineDirect3DSettings;
using testsupport::WmiVideoControllers;

namespace {

struct Controller {
    std::string caption;
    unsigned int megabytes;
};

std::vector<Controller> ControllersFromWMI()
{
    std::vector<Controller> controllers;
    WmiVideoControllers::ForEach([&controllers](IWbemClassObject* row) {
        std::wstring caption;
        LONG bytes = 0;
        Controller controller;
        controller.caption = WmiVideoControllers::ReadText(row, L"Caption", caption) ? EscapeWideString(caption.c_str())
                                                                                      : std::string();
        controller.megabytes = WmiVideoControllers::ReadInt(row, L"AdapterRAM", bytes)
                                   ? static_cast<unsigned int>(bytes) >> 20
                                   : 0;
        controllers.push_back(controller);
    });
    return controllers;
}

std::string Line(const std::string& caption, unsigned int megabytes)
{
    return "Device: " + caption + " has video RAM(MB): " + std::to_string(megabytes);
}

const char kChild[] = "VideoControllerListingChild.DISABLED_PrintVideoControllers";

} // namespace

// Run by the tests below in a fresh process (see ChildTest).
TEST(VideoControllerListingChild, DISABLED_PrintVideoControllers) { EXPECT_EQ(0, PrintVideoControllers()); }

TEST(VideoControllerListingOnWine, WritesOneLinePerControllerWMIReports)
{
    const std::vector<Controller> controllers = ControllersFromWMI();
    ASSERT_FALSE(controllers.empty());
    std::vector<std::string> expected;
    for (const Controller& controller : controllers) {
        expected.push_back(Line(controller.caption, controller.megabytes));
    }

    StreamCapture capture;
    EXPECT_EQ(0, PrintVideoControllers());
    EXPECT_EQ(expected, SplitLines(capture.out()));
}

// Wine's Direct3D reads its settings once per process, so the listing that
// should see a changed video memory size runs in a fresh one.
TEST(VideoControllerListingOnWine, ShowsTheVideoMemorySizeWineIsToldOf)
{
    const std::vector<Controller> controllers = ControllersFromWMI();
    ASSERT_FALSE(controllers.empty());
    for (const Controller& controller : controllers) {
        ASSERT_NE(2048u, controller.megabytes) << "the test bed already reports 2048 MiB";
    }

    WineDirect3DSettings settings;
    settings.setString("VideoMemorySize", "2048");
    const ProcessResult result = ChildTest::Run(kChild);
    EXPECT_EQ(0u, result.exitCode) << result.out;
    std::vector<std::string> expected;
    for (const Controller& controller : controllers) {
        expected.push_back(Line(controller.caption, 2048));
    }
    EXPECT_EQ(expected, ChildTest::OwnLines(result, kChild));
}
