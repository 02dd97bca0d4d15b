// The Linux enumeration on machines of the test's making: the EGL devices,
// what the system says about them, and whether their displays work. The
// GPUs' GL is tested end to end, on this machine's software device.
#include "enumeration/EGLEnumerationSystem.h"
#include "enumeration/GPUFactoryLinux.h"
#include "enumeration/VulkanTies.h"
#include "gpu/GLErrorException.h"
#include "gpu/GPULinux.h"
#include "sysinfo/LinuxDeviceFacts.h"
#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/Context.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <cstdio>
#include <map>
#include <numeric>

namespace {

// A context whose display came up; the GL is the test's.
struct DeadContext : ZEB::OGL::Context {
    explicit DeadContext(std::size_t device) : device(device) {}
    void makeCurrent() const override {}
    const std::size_t device;
};

const bool kFails = true;

struct FakeDevice {
    EGLDeviceSummary summary;
    bool fails;
};

// An EGL device's 16 UUID bytes: first, first + 1, ...
std::string Bytes(char first)
{
    std::string bytes(16, first);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

FakeDevice Software(bool fails = false) { return {{true, "", -1, ""}, fails}; }
FakeDevice Drm(const char* node, bool fails = false) { return {{false, node, -1, ""}, fails}; }
FakeDevice Cuda(int index, const std::string& uuid = "") { return {{false, "", index, uuid}, false}; }
// NVIDIA's EGL device where the driver offers neither a UUID nor a CUDA index.
FakeDevice Nameless() { return {{false, "", -1, ""}, false}; }

DeviceFacts Facts(std::uint32_t vendor, std::uint32_t device, const char* pciAddress, const char* driver,
                  const char* uuid = "")
{
    return DeviceFacts{vendor, device, pciAddress, driver, "", "", "", 2048ull << 20, uuid};
}

// Two NVIDIA GPUs, as sysfs and the NVIDIA driver know them.
const std::vector<DeviceFacts> kNvidia = {
    Facts(0x10DE, 0x2330, "0000:41:00.0", "nvidia", "GPU-00010203-0405-0607-0809-0a0b0c0d0e0f"),
    Facts(0x10DE, 0x2331, "0000:a1:00.0", "nvidia", "GPU-10111213-1415-1617-1819-1a1b1c1d1e1f")};
const std::string k41 = "00000000:41:00.0";
const std::string kA1 = "00000000:A1:00.0";

// Which of NVIDIA's sources the machine has. CUDA's list is this process's
// numbering, in CUDA's own address form; empty: no libcuda.
struct NvidiaSources {
    std::vector<std::string> cuda = {k41, kA1};
    bool proc = true;  // /proc/driver/nvidia lists both GPUs
    bool nvml = false;
};

// What the system knows: an AMD GPU with two DRM nodes, an Intel one, and
// two NVIDIA GPUs, one with a render node.
class FakeSystem : public EGLEnumerationSystem {
public:
    FakeSystem(const std::vector<FakeDevice>& devices, const NvidiaSources& nvidia) : devices_(devices), nvidia_(nvidia)
    {
    }

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
            {"/dev/dri/renderD131", kNvidia[0]},
        };
        const auto found = kNodes.find(node);
        return found == kNodes.end() ? DeviceFacts() : found->second;
    }
    DeviceFacts PciFacts(const std::string& address) override
    {
        for (const DeviceFacts& gpu : kNvidia) {
            if (gpu.pciAddress == address) {
                return gpu;
            }
        }
        return DeviceFacts();
    }
    std::vector<DeviceFacts> NvidiaGpus() override { return nvidia_.proc ? kNvidia : std::vector<DeviceFacts>(); }
    std::string NvmlPciAddress(const std::string& uuid) override
    {
        const bool nvml = nvidia_.nvml;
        return nvml && uuid == kNvidia[0].uuid ? k41 : nvml && uuid == kNvidia[1].uuid ? kA1 : "";
    }
    std::string CudaPciAddress(int index) override
    {
        return static_cast<std::size_t>(index) < nvidia_.cuda.size() ? nvidia_.cuda[index] : "";
    }

private:
    std::vector<FakeDevice> devices_;
    NvidiaSources nvidia_;
};

// A GPU of the enumeration on a GL of the test's making: its GL_VERSION, and
// the KiB each memory query answers (a query not listed is rejected, as by a
// driver without that extension).
class GLStandIn : public GPULinux {
public:
    GLStandIn(const DeviceFacts& facts, const std::string& version, const std::map<GLenum, GLint>& memory)
        : GPULinux(boost::make_shared<DeadContext>(0), facts, ""), version(version), memory(memory)
    {
    }
    const GLubyte* GetString(GLenum name) override
    {
        return reinterpret_cast<const GLubyte*>(name == GL_VERSION ? version.c_str() : "");
    }
    void GetIntegerv(GLenum pname, GLint* params) override
    {
        asked.push_back(pname);
        params[0] = memory.count(pname) != 0 ? memory.at(pname) : throw GLErrorException();
    }
    const std::string version;
    const std::map<GLenum, GLint> memory;
    std::vector<GLenum> asked;
};

const GLenum kNVX = 0x9047;  // GL_GPU_MEMORY_INFO_DEDICATED_VIDMEM_NVX
const GLenum kATI = 0x87FC;  // GL_TEXTURE_FREE_MEMORY_ATI

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
        NvidiaSources nvidia;
    };
    const std::vector<std::string> none;
    const std::vector<std::string> nvidiaGpus = {"10de:2330 nvidia", "10de:2331 nvidia"};
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
         nvidiaGpus, 2},
        {"unknown devices after the known ones", {Drm("/dev/dri/renderD130"), Cuda(7), Drm("/dev/dri/renderD129")},
         {"8086:0166 i915", "0000:0000 ", "0000:0000 "}, 2},
        {"a CUDA index just past the NVIDIA list, two GPUs left", {Cuda(2)}, {"0000:0000 "}, 0},
        {"no working hardware: the software device", {Drm("/dev/dri/renderD129", kFails), Software()},
         {"0000:0000 swrast"}, 1},
        // Devices without DRM node: NVIDIA without nvidia-drm, containers without /dev/dri.
        {"fastest first: CUDA's order is not the bus order", {Cuda(0), Cuda(1)}, nvidiaGpus, 1, {{kA1, k41}}},
        {"CUDA_VISIBLE_DEVICES=1, no /proc/driver/nvidia", {Cuda(0)}, {"10de:2331 nvidia"}, 0, {{kA1}, false}},
        {"NVIDIA's EGL and Mesa's render node list one GPU", {Cuda(0), Drm("/dev/dri/renderD131")},
         {"10de:2330 nvidia"}, 0},
        {"hybrid laptop, Mesa's EGL first", {Drm("/dev/dri/renderD131"), Drm("/dev/dri/renderD129"), Cuda(0)},
         {"8086:0166 i915", "10de:2330 nvidia"}, 1},
        {"UUIDs against the driver's list", {Cuda(0, Bytes(0x10)), Cuda(1, Bytes(0))}, nvidiaGpus, 1, {none}},
        {"UUIDs by NVML", {Cuda(0, Bytes(0x10)), Cuda(1, Bytes(0))}, nvidiaGpus, 1, {none, false, true}},
        {"no libcuda, no NVML, two GPUs: no guess", {Cuda(0), Cuda(1)}, {"0000:0000 ", "0000:0000 "}, 0, {none}},
        {"the one GPU left to the one device left", {Cuda(1), Cuda(0, Bytes(0)), Cuda(1)}, nvidiaGpus, 1, {none}},
        {"the one GPU left to a device with no identity", {Nameless(), Drm("/dev/dri/renderD131")}, nvidiaGpus, 1},
        {"one GPU left, two devices with no identity: no guess", {Nameless(), Drm("/dev/dri/renderD131"), Nameless()},
         {"10de:2330 nvidia", "0000:0000 ", "0000:0000 "}, 1},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        FakeSystem system(scenario.devices, scenario.nvidia);
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

// The identities the enumeration gives its GPUs, which tie Vulkan's devices
// to them: Intel and AMD by PCI address, NVIDIA without a DRM node by its UUID.
TEST(GPUFactoryLinux, GPUsAreIdentifiedByWhatNamesTheHardware)
{
    FakeSystem system({Drm("/dev/dri/renderD128"), Cuda(0, Bytes(0)), Drm("/dev/dri/renderD129")}, {{}, true});
    GPUFactoryLinux factory(system);
    std::vector<std::string> ids;
    for (const boost::shared_ptr<GPU>& gpu : factory.GetGPUs()) {
        ids.push_back(gpu->Identity().pciAddress + " " + gpu->Identity().uuid);
    }
    EXPECT_EQ((std::vector<std::string>{"0000:00:02.0 ", "0000:03:00.0 ", "0000:41:00.0 " + kNvidia[0].uuid}), ids);
}

// The driver facts of real machines' GPUs: hybrid laptops, AMD beside an
// Intel iGPU, an old Radeon on `radeon`, the software device.
TEST(GPULinux, DriverFactsNameTheReleaseThatRunsTheGPU)
{
    const std::map<GLenum, GLint> both = {{kNVX, 2097152}, {kATI, 1789952}};  // 2 GiB card, 300 MiB used
    const struct {
        const char* name;
        DeviceFacts facts;
        const char* glVersion;
        std::map<GLenum, GLint> memory;
        const char* driverVersion;
        unsigned int megabytes;
        std::vector<GLenum> asked;
    } cases[] = {
        {"Intel iGPU", {0x8086, 0x9a49, "", "i915"}, "4.6 (Compatibility Profile) Mesa 22.3.6", both, "22.3.6", 0, {}},
        {"amdgpu, distribution build", {0x1002, 0x73bf, "", "amdgpu", "", "", "", 8ull << 30},
         "4.6 (Compatibility Profile) Mesa 23.2.1-1ubuntu3.1~22.04.2", both, "23.2.1-1ubuntu3.1~22.04.2", 8192, {}},
        {"radeon, Mesa from git", {0x1002, 0x6798, "", "radeon"}, "4.5 Mesa 24.0.0-devel (git-1a2b3c4d)", both,
         "24.0.0-devel (git-1a2b3c4d)", 2048, {kNVX}},
        {"radeon without NVX: the free pool", {0x1002, 0x6798, "", "radeon"}, "3.1 Mesa 22.3.6", {{kATI, 1789952}},
         "22.3.6", 1748, {kNVX, kATI}},
        {"AMD's own GL names no Mesa", {0x1002, 0x73bf, "", "amdgpu", "", "", "", 8ull << 30},
         "4.6.14756 Compatibility Profile Context", {}, "", 8192, {}},
        {"NVIDIA, the system's release", {0x10de, 0x2330, "", "nvidia", "535.129.03", "", "", 8ull << 30},
         "4.6.0 NVIDIA 535.129.03", {{kNVX, 16777216}}, "535.129.03", 16384, {kNVX}},
        {"NVIDIA, no system", {0x10de, 0x2330, "", "nvidia"}, "4.6.0 NVIDIA 550.54.15", {}, "550.54.15", 0, {kNVX}},
        {"NVIDIA, unplain version", {0x10de, 0x2330, "", "nvidia"}, "4.6.0 NVIDIA 550.54.15 beta", {}, "", 0, {kNVX}},
        {"NVIDIA on nouveau", {0x10de, 0x2330, "", "nouveau"}, "4.3 Mesa 22.3.6", {}, "22.3.6", 0, {kNVX}},
        {"software device", {0, 0, "", "swrast", "", "", "", 0, "", true}, "4.5 (Compatibility Profile) Mesa 22.3.6",
         both, "22.3.6", 0, {}},
        {"no word of Mesa's", {0x8086, 0x9a49, "", "i915"}, "4.6 XMesa 22.3.6", {}, "", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceFacts facts = c.facts;
        facts.kernelDriverVersion = "1.2.3";
        GLStandIn gpu(facts, c.glVersion, c.memory);
        EXPECT_EQ(c.driverVersion, gpu.DriverVersion());
        EXPECT_EQ(c.megabytes, gpu.MemoryMB());
        EXPECT_EQ(c.asked, gpu.asked);
        EXPECT_EQ(facts.software ? "" : facts.driver, gpu.KernelDriver());
        EXPECT_EQ("1.2.3", gpu.KernelDriverVersion());
    }
}
