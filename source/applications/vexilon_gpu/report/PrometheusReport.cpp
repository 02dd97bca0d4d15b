#include "report/PrometheusReport.h"

#include "report/PrometheusText.h"

#include <cstdint>
#include <cstdio>

namespace {

typedef nlohmann::ordered_json Json;
typedef PrometheusText::Labels Labels;

const char* const kWorkNames[] = {"listing", "block", "opencl", "vulkan", "end"};

// The report's index of the GPU tagged "gpu" or "gpu[<n>]".
std::string Index(const std::string& tag) { return tag == "gpu" ? "0" : tag.substr(4, tag.size() - 5); }

// Labels from text facts; an absent or empty text gives no label.
void AddText(Labels& labels, const char* label, const Json& facts, const char* key)
{
    if (facts.contains(key) && facts[key].is_string() && !facts[key].get<std::string>().empty()) {
        labels.emplace_back(label, facts[key].get<std::string>());
    }
}

// A PCI id as four hex digits; 0 is the report's "unknown".
void AddPciId(Labels& labels, const char* label, const Json& facts, const char* key)
{
    if (facts.contains(key) && facts[key].is_number_integer() && facts[key].get<std::int64_t>() > 0) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04llx", static_cast<long long>(facts[key].get<std::int64_t>()));
        labels.emplace_back(label, text);
    }
}

// "x.y" as the number x.y; false for any other text.
bool VersionNumber(const std::string& text, double& number)
{
    const std::size_t dot = text.find('.');
    if (dot == 0 || dot == std::string::npos || dot + 1 == text.size() ||
        text.find_first_not_of("0123456789.") != std::string::npos || text.find('.', dot + 1) != std::string::npos) {
        return false;
    }
    double scale = 1;
    number = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i < dot) {
            number = number * 10 + (text[i] - '0');
        } else if (i > dot) {
            scale /= 10;
            number += scale * (text[i] - '0');
        }
    }
    return true;
}

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

} // namespace

PrometheusReport::PrometheusReport(const std::string& version, const std::string& commit)
    : version_(version), commit_(commit), failed_(), skipped_()
{
}

void PrometheusReport::ProbeFault(ProbeWork work, bool skipped)
{
    ++(skipped ? skipped_ : failed_)[static_cast<std::size_t>(work)];
}

std::string PrometheusReport::Text(double startSeconds, double durationSeconds) const
{
    PrometheusText metrics;
    const Json& facts = facts_.Facts();
    const Json none = Json::object();
    const Json& gpus = facts.contains("gpus") ? facts["gpus"] : none;
    for (const Json& gpu : gpus) {
        const Json& fields = gpu["fields"];
        Labels index{{"gpu", Index(gpu["tag"].get<std::string>())}};
        AddText(index, "pci_bus_id", gpu, "pciBusId");
        Labels info = index;
        AddText(info, "renderer", fields, "Renderer");
        AddText(info, "vendor", fields, "Vendor");
        AddText(info, "driver", fields, "Driver");
        AddText(info, "driver_version", fields, "DriverVersion");
        AddText(info, "opengl_version", fields, "OGLVersion");
        AddText(info, "opencl_version", fields, "OCLVersion");
        AddText(info, "cuda_version", fields, "CUDAVersion");
        AddPciId(info, "vendor_id", fields, "VendorID");
        AddPciId(info, "device_id", fields, "RendererID");
        metrics.Gauge("vexilon_gpu_info", "A GPU of the report, its text facts as labels (always 1).", info, 1);
        double version = 0;
        if (fields.contains("OGLVersion") && fields["OGLVersion"].is_string() &&
            VersionNumber(fields["OGLVersion"].get<std::string>(), version)) {
            metrics.Gauge("vexilon_gpu_opengl_version", "Highest OpenGL version of the GPU's context, as a number.",
                          index, version);
        }
        // 0 MiB is the report's "unknown" (the software device).
        if (fields.contains("MemoryMB") && fields["MemoryMB"].is_number_integer() && fields["MemoryMB"] > 0) {
            metrics.Gauge("vexilon_gpu_memory_bytes", "Video memory of the GPU.", index,
                          static_cast<double>(fields["MemoryMB"].get<std::int64_t>()) * 1048576.0);
        }
        if (fields.contains("RectTextureSize") && fields["RectTextureSize"].is_number_integer()) {
            metrics.Gauge("vexilon_gpu_rectangle_texture_size", "GL_MAX_RECTANGLE_TEXTURE_SIZE_ARB, in texels.",
                          index, fields["RectTextureSize"].get<double>());
        }
        const struct {
            const char* key;
            const char* name;
            const char* help;
        } yesNo[] = {
            {"HasNPOTSupport", "vexilon_gpu_npot_supported", "1 when the GPU supports non-power-of-two textures."},
            {"CompileProgramGLSL", "vexilon_gpu_glsl_test_passed", "1 when the GLSL test program compiled and linked."},
            {"TestFrameBuffer", "vexilon_gpu_framebuffer_test_passed", "1 when the framebuffer object test passed."},
        };
        for (const auto& fact : yesNo) {
            if (fields.contains(fact.key) && fields[fact.key].is_boolean()) {
                metrics.Gauge(fact.name, fact.help, index, fields[fact.key].get<bool>() ? 1 : 0);
            }
        }
        double date = 0;
        if (fields.contains("DriverDate") && fields["DriverDate"].is_string() &&
            DateSeconds(fields["DriverDate"].get<std::string>(), date)) {
            metrics.Gauge("vexilon_gpu_driver_date_seconds", "Date of the GPU's driver, as a Unix time.", index, date);
        }
        metrics.Gauge("vexilon_gpu_block_failed", "1 when the GPU's block of the report ended early.", index,
                      gpu.contains("failure") ? 1 : 0);
        if (gpu.contains("vulkan")) {
            const Json& vulkan = gpu["vulkan"];
            Labels labels = index;
            AddText(labels, "api_version", vulkan, "apiVersion");
            AddText(labels, "driver_version", vulkan, "driverVersion");
            AddText(labels, "driver_name", vulkan, "driverName");
            AddText(labels, "driver_info", vulkan, "driverInfo");
            AddText(labels, "device_name", vulkan, "deviceName");
            AddText(labels, "device_type", vulkan, "deviceType");
            AddText(labels, "conformance_version", vulkan, "conformanceVersion");
            metrics.Gauge("vexilon_gpu_vulkan_info", "The Vulkan device that is the GPU, its facts as labels (always 1).",
                          labels, 1);
        }
    }

    if (facts.contains("NumGPUs") && facts["NumGPUs"].is_number_integer()) {
        metrics.Gauge("vexilon_gpu_gpus", "GPUs in the report.", {}, facts["NumGPUs"].get<double>());
    }
    metrics.Gauge("vexilon_gpu_lost_devices", "Devices left out because their driver crashed or hung while listed.",
                  {}, facts.contains("lostDevices") ? static_cast<double>(facts["lostDevices"].size()) : 0);
    const std::size_t vulkan = static_cast<std::size_t>(ProbeWork::kVulkan);
    if (failed_[vulkan] == 0 && skipped_[vulkan] == 0) {
        metrics.Gauge("vexilon_gpu_unmatched_vulkan_devices", "Vulkan devices that are no GPU of the report.", {},
                      facts.contains("unmatchedVulkanDevices") ? static_cast<double>(facts["unmatchedVulkanDevices"].size())
                                                               : 0);
    }
    for (std::size_t work = 0; work < kWorks; ++work) {
        metrics.Gauge("vexilon_gpu_probe_failures", "Pieces of work lost to a driver that crashed or hung in this run.",
                      {{"what", kWorkNames[work]}}, failed_[work]);
    }
    for (std::size_t work = 0; work < kWorks; ++work) {
        metrics.Gauge("vexilon_gpu_probe_skipped",
                      "Pieces of work skipped because their driver crashed or hung in an earlier run.",
                      {{"what", kWorkNames[work]}}, skipped_[work]);
    }
    metrics.Gauge("vexilon_gpu_run_start_time_seconds", "Start of the run, as a Unix time.", {}, startSeconds);
    metrics.Gauge("vexilon_gpu_run_duration_seconds", "Wall time of the run.", {}, durationSeconds);
    Labels build{{"version", version_}};
    if (!commit_.empty()) {
        build.emplace_back("commit", commit_);
    }
    metrics.Gauge("vexilon_gpu_build_info", "The tool's version and commit (always 1).", build, 1);
    return metrics.Text();
}

bool PrometheusReport::DateSeconds(const std::string& text, double& seconds)
{
    const auto digits = [&text](std::size_t at, std::size_t count, unsigned& value) {
        value = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            if (i >= text.size() || text[i] < '0' || text[i] > '9') {
                return false;
            }
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
        }
        return true;
    };
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, offset = 0;
    if (!digits(0, 4, year) || !digits(4, 2, month) || !digits(6, 2, day) || month < 1 || month > 12 || day < 1 ||
        day > 31) {
        return false;
    }
    if (digits(8, 6, hour)) {  // hhmmss together, then apart
        digits(8, 2, hour);
        digits(10, 2, minute);
        digits(12, 2, second);
        if (hour > 23 || minute > 59 || second > 60) {
            return false;
        }
    }
    // CIM gives local time and its offset from UTC in minutes: yyyymmddhhmmss.ffffff+zzz
    const bool zoned = text.size() == 25 && (text[21] == '+' || text[21] == '-') && digits(22, 3, offset);
    const double utcOffset = zoned ? (text[21] == '-' ? -60.0 : 60.0) * offset : 0;
    seconds = static_cast<double>(DaysFromCivil(year, month, day)) * 86400 + hour * 3600.0 + minute * 60.0 + second -
              utcOffset;
    return true;
}
