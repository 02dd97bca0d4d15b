// The metrics as a real run's lines, failed blocks and driver faults make them.
#include "report/PrometheusReport.h"

#include "FakeGPU.h"
#include "FakeGPUFactory.h"
#include "ReportRun.h"
#include "StreamCapture.h"
#include "report/PrometheusText.h"
#include "report/ReportOutput.h"
#include "report/Tester.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

namespace {

bool Has(const std::string& text, const std::string& line) { return text.find("\n" + line + "\n") != std::string::npos; }

} // namespace

TEST(PrometheusReport, HoldsEveryFactTheRunLearnedAndNoOther)
{
    auto first = boost::make_shared<testsupport::FakeGPU>();
    first->renderer = "Fake \"X\"";
    first->pciAddress = "0000:01:00.0";
    first->failures["HasNPOTSupport"] = "glGetError() == 0";
    auto second = boost::make_shared<testsupport::FakeGPU>();
    second->memoryMB = 0;
    second->vendorID = 0;
    second->driverVersion.clear();
    second->driverDate = "20220118093000.000000+060";
    testsupport::FakeGPUFactory factory({first, second});
    Tester tester;
    PrometheusReport report("1.2.3", "");
    testsupport::StreamCapture capture;
    ReportOutput::SetSink(&report);
    testsupport::RunReport(tester, 0xFFFFFFFFu);
    ReportOutput::RecordVulkanFacts("gpu[1]", R"({"apiVersion": "1.3.0", "deviceName": "", "deviceType": "cpu"})");
    ReportOutput::RecordProbeFault(ProbeWork::kBlock, false);
    ReportOutput::RecordProbeFault(ProbeWork::kOpenCL, true);
    ReportOutput::RecordProbeFault(ProbeWork::kVulkan, false);
    ReportOutput::SetSink(nullptr);
    const std::string text = "\n" + report.Text(1700000000.5, 2);

    // Facts the block had before it failed; none after, not even as 0.
    EXPECT_TRUE(Has(text, R"(vexilon_gpu_info{gpu="0",pci_bus_id="0000:01:00.0",renderer="Fake \"X\"",vendor="Fake Vendor",opengl_version="3.0",)"
                          R"(vendor_id="0x10de",device_id="0x1234"} 1)")) << text;
    EXPECT_TRUE(Has(text, R"(vexilon_gpu_block_failed{gpu="0",pci_bus_id="0000:01:00.0"} 1)"));
    EXPECT_TRUE(Has(text, R"(vexilon_gpu_memory_bytes{gpu="0",pci_bus_id="0000:01:00.0"} 1073741824)"));
    EXPECT_EQ(std::string::npos, text.find(R"(vexilon_gpu_npot_supported{gpu="0",)"));
    EXPECT_EQ(std::string::npos, text.find(R"(vexilon_gpu_glsl_test_passed{gpu="0",)"));
    EXPECT_EQ(std::string::npos, text.find(R"(vexilon_gpu_driver_date_seconds{gpu="0",)"));
    // Unknown memory, ids and texts have no series or label.
    EXPECT_TRUE(Has(text, R"(vexilon_gpu_info{gpu="1",renderer="Fake Renderer",vendor="Fake Vendor",driver="fake.dll",)"
                          R"(opengl_version="3.0",device_id="0x1234"} 1)")) << text;
    EXPECT_EQ(std::string::npos, text.find(R"(vexilon_gpu_memory_bytes{gpu="1"})"));
    EXPECT_TRUE(Has(text, R"(vexilon_gpu_npot_supported{gpu="1"} 1)"));
    EXPECT_TRUE(Has(text, R"(vexilon_gpu_driver_date_seconds{gpu="1"} 1642494600)"));
    EXPECT_TRUE(Has(text, R"(vexilon_gpu_vulkan_info{gpu="1",api_version="1.3.0",device_type="cpu"} 1)"));
    // The run: what faults cost, and nothing of the Vulkan devices the failed Vulkan probe never listed.
    EXPECT_TRUE(Has(text, "vexilon_gpu_gpus 2\n# HELP vexilon_gpu_lost_devices "
                          "Devices left out because their driver crashed or hung while listed.\n"
                          "# TYPE vexilon_gpu_lost_devices gauge\nvexilon_gpu_lost_devices 0"));
    EXPECT_EQ(std::string::npos, text.find("vexilon_gpu_unmatched_vulkan_devices"));
    EXPECT_TRUE(Has(text, "vexilon_gpu_probe_failures{what=\"listing\"} 0\nvexilon_gpu_probe_failures{what=\"block\"} 1"));
    EXPECT_TRUE(Has(text, R"(vexilon_gpu_probe_skipped{what="opencl"} 1)"));
    EXPECT_TRUE(Has(text, "vexilon_gpu_run_start_time_seconds 1700000000.5"));
    EXPECT_TRUE(Has(text, "vexilon_gpu_build_info{version=\"1.2.3\"} 1"));
    EXPECT_EQ(1u, [&text] {
        std::size_t count = 0;
        for (std::size_t at = 0; (at = text.find("# TYPE vexilon_gpu_info ", at)) != std::string::npos; ++at) {
            ++count;
        }
        return count;
    }());
}

TEST(PrometheusReport, LabelValuesAreValidUTF8WithTheFormatsEscapes)
{
    const struct {
        std::string bytes, value;
    } cases[] = {
        {"a\\b\"c\nd", "a\\\\b\\\"c\\nd"},
        {std::string("\r\t\0\x7f", 4), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},  // é € and an emoji stay
        // A stray byte, an overlong form, a surrogate, a cut sequence, past U+10FFFF.
        {"\xFF" "a\xC0\x80", "\xEF\xBF\xBD" "a\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value, PrometheusText::LabelValue(c.bytes)) << c.bytes;
    }
}

TEST(PrometheusReport, ReadsTheDriverDateAsCIMWritesIt)
{
    const struct {
        const char* text;
        bool known;
        double seconds;
    } cases[] = {
        {"20220118000000.000000-000", true, 1642464000},
        {"20220118093000.000000+060", true, 1642494600},
        {"20000229235959.000000-300", true, 951868799 + 18000},
        {"19700101", true, 0},
        {"20221301000000.000000-000", false, 0},
        {"2022-01-18", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        double seconds = -1;
        EXPECT_EQ(c.known, PrometheusReport::DateSeconds(c.text, seconds)) << c.text;
        if (c.known) {
            EXPECT_EQ(c.seconds, seconds) << c.text;
        }
    }
}
