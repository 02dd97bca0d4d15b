// The Linux enumeration on machines of the test's making: the EGL devices,
// what the system says about them, and whether their displays work. The
// GPUs' GL is tested end to end, on this machine's software device.
#include "gpu/EGLEnumerationSystem.h"
#include "gpu/GPUFactoryLinux.h"
#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/Context.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace {

// A context whose display came up; the GL is never asked here.
struct DeadContext : ZEB::OGL::Context {
    explicit DeadContext(std::size_t device) : device(device) {}
    const std::size_t device;
};

const bool kFails = true;

struct FakeDevice {
    EGLDeviceSummary summary;
    bool fails;
};

FakeDevice Software(bool fails = false) { return {{true, "", -1}, fails}; }
FakeDevice Drm(const char* node, bool fails = false) { return {{false, node, -1}, fails}; }
FakeDevice Cuda(int index) { return {{false, "", index}, false}; }

DeviceFacts Facts(std::uint32_t vendor, std::uint32_t device, const char* pciAddress, const char* driver)
{
    return DeviceFacts{vendor, device, pciAddress, driver, "", "", 2048ull << 20};
}

// What the system knows: an AMD GPU with two DRM nodes, an Intel one, and
// two NVIDIA GPUs.
class FakeSystem : public EGLEnumerationSystem {
public:
    explicit FakeSystem(const std::vector<FakeDevice>& devices) : devices_(devices) {}

    std::vector<EGLDeviceSummary> Devices() override
    {
        std::vector<EGLDeviceSummary> summaries;
        for (const FakeDevice& device : devices_) {
            summaries.push_back(device.summary);
        }
        return summaries;
    }
    std::unique_ptr<ZEB::OGL::Context> OpenContext(std::size_t index) override
    {
        if (devices_.at(index).fails) {
            throw ZEB::RuntimeException("eglInitialize failed");
        }
        return std::unique_ptr<ZEB::OGL::Context>(new DeadContext(index));
    }
    std::string DriverName(const ZEB::OGL::Context&) override { return "swrast"; }
    DeviceFacts DrmNodeFacts(const std::string& node) override
    {
        static const std::map<std::string, DeviceFacts> kNodes = {
            {"/dev/dri/card0", Facts(0x1002, 0x67DF, "0000:03:00.0", "amdgpu")},
            {"/dev/dri/renderD128", Facts(0x1002, 0x67DF, "0000:03:00.0", "amdgpu")},
            {"/dev/dri/renderD129", Facts(0x8086, 0x0166, "0000:00:02.0", "i915")},
        };
        const auto found = kNodes.find(node);
        return found == kNodes.end() ? DeviceFacts() : found->second;
    }
    std::vector<DeviceFacts> NvidiaGpus() override
    {
        return {Facts(0x10DE, 0x2330, "0000:41:00.0", "nvidia"), Facts(0x10DE, 0x2331, "0000:81:00.0", "nvidia")};
    }

private:
    std::vector<FakeDevice> devices_;
};

std::string Describe(GPU& gpu)
{
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x ", gpu.VendorID(), gpu.RendererID());
    return ids + gpu.Driver();
}

} // namespace

TEST(GPUFactoryLinux, OneGPUPerWorkingHardwareDeviceInPCIOrder)
{
    struct Scenario {
        const char* name;
        std::vector<FakeDevice> devices;
        std::vector<std::string> gpus;
        int first;  // the device the legacy check opens; -1: none
    };
    const Scenario scenarios[] = {
        {"no EGL device", {}, {}, -1},
        {"software device only", {Software()}, {"0000:0000 swrast"}, 0},
        {"software device that fails", {Software(kFails)}, {}, -1},
        {"duplicates once, failing display dropped, no software device",
         {Software(), Drm("/dev/dri/renderD128"), Drm("/dev/dri/renderD129"), Drm("/dev/dri/card0"),
          Drm("/dev/dri/renderD130", kFails)},
         {"8086:0166 i915", "1002:67df amdgpu"},
         2},
        {"a GPU's working listing stands for it", {Drm("/dev/dri/card0", kFails), Drm("/dev/dri/renderD128")},
         {"1002:67df amdgpu"}, 1},
        {"NVIDIA without DRM nodes, by CUDA index", {Cuda(1), Software(), Cuda(0), Cuda(1)},
         {"10de:2330 nvidia", "10de:2331 nvidia"}, 2},
        {"unknown devices after the known ones", {Drm("/dev/dri/renderD130"), Cuda(7), Drm("/dev/dri/renderD129")},
         {"8086:0166 i915", "0000:0000 ", "0000:0000 "}, 2},
        {"a CUDA index just past the NVIDIA list", {Cuda(2), Cuda(0)}, {"10de:2330 nvidia", "0000:0000 "}, 1},
        {"no working hardware: the software device", {Drm("/dev/dri/renderD129", kFails), Software()},
         {"0000:0000 swrast"}, 1},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        FakeSystem system(scenario.devices);
        GPUFactoryLinux factory(system);
        std::vector<std::string> gpus;
        for (const boost::shared_ptr<GPU>& gpu : factory.GetGPUs()) {
            gpus.push_back(Describe(*gpu));
        }
        EXPECT_EQ(scenario.gpus, gpus);

        const std::unique_ptr<ZEB::OGL::Context> first = GPUFactoryLinux::OpenFirstContext(system);
        const DeadContext* dead = dynamic_cast<const DeadContext*>(first.get());
        EXPECT_EQ(scenario.first, dead != nullptr ? static_cast<int>(dead->device) : -1);
    }
}
