#include "enumeration/GPUFactoryLinux.h"

#include "enumeration/EGLEnumerationSystemLinux.h"
#include "enumeration/ListingSteps.h"
#include "gpu/GPULinux.h"
#include "sysinfo/LinuxDeviceFacts.h"

#include "zeb/core/Library.h"
#include "zeb/ogl/Context.h"
#include "zeb/ogl/Library.h"

#include <algorithm>
#include <exception>
#include <set>
#include <utility>
#include <vector>

namespace {

// What tied an EGL device to its GPU, strongest first; kNone: only EGL's own
// facts (its GL block) are reported, never another GPU's.
enum class Link { kDrmNode, kUuid, kCudaIndex, kPosition, kNone };

// A hardware device and what the system says about its GPU.
struct Candidate {
    std::size_t index;
    DeviceFacts facts;
    // What makes two devices one GPU: the PCI address, else the DRM node or
    // CUDA index; empty when nothing does.
    std::string identity;
    std::string caption;
    Link link;
};

// The NVIDIA GPUs of this machine as far as the system knows them, looked up
// by what identifies a GPU. The driver's list may be missing (containers):
// then sysfs and NVIDIA's libraries stand in.
class NvidiaGpuIndex {
public:
    explicit NvidiaGpuIndex(EGLEnumerationSystem& system) : system_(system), listed_(system.NvidiaGpus()) {}

    // The GPU at an address in any of the forms CUDA, NVML and sysfs write;
    // no facts when it is not one.
    DeviceFacts AtAddress(const std::string& address) const
    {
        // Numbers, not texts: CUDA writes "00000000:0A:00.0" where sysfs writes "0000:0a:00.0".
        const std::string canonical = LinuxDeviceFacts::CanonicalPciAddress(address);
        for (const DeviceFacts& gpu : listed_) {
            if (!canonical.empty() && gpu.pciAddress == canonical) {
                return gpu;
            }
        }
        return canonical.empty() ? DeviceFacts() : system_.PciFacts(canonical);
    }

    // The GPU with EGL's 16 UUID bytes: by the driver's list, else by NVML.
    DeviceFacts WithUuid(const std::string& bytes) const
    {
        const std::string uuid = LinuxDeviceFacts::UuidText(bytes);
        if (uuid.empty()) {
            return DeviceFacts();
        }
        for (const DeviceFacts& gpu : listed_) {
            if (gpu.uuid == uuid) {
                return gpu;
            }
        }
        return AtAddress(system_.NvmlPciAddress(uuid));
    }

    // The one listed GPU that no candidate took, when exactly one is left.
    const DeviceFacts* OnlyOneLeft(const std::vector<Candidate>& candidates) const
    {
        const DeviceFacts* left = nullptr;
        for (const DeviceFacts& gpu : listed_) {
            const bool taken = std::any_of(candidates.begin(), candidates.end(), [&gpu](const Candidate& candidate) {
                return candidate.facts.pciAddress == gpu.pciAddress;
            });
            if (!taken && left != nullptr) {
                return nullptr;
            }
            left = taken ? left : &gpu;
        }
        return left;
    }

private:
    EGLEnumerationSystem& system_;
    const std::vector<DeviceFacts> listed_;
};

// Ties a device without DRM node to its NVIDIA GPU: by UUID, else by this
// process's CUDA index, translated by CUDA itself (its order follows
// CUDA_DEVICE_ORDER and CUDA_VISIBLE_DEVICES, not the bus).
void TieToNvidiaGpu(EGLEnumerationSystem& system, const NvidiaGpuIndex& nvidia, const EGLDeviceSummary& device,
                    Candidate& candidate)
{
    if (!device.uuid.empty()) {
        candidate.facts = nvidia.WithUuid(device.uuid);
        candidate.link = Link::kUuid;
    }
    if (candidate.facts.pciAddress.empty() && device.cudaDevice >= 0) {
        candidate.facts = nvidia.AtAddress(system.CudaPciAddress(device.cudaDevice));
        candidate.link = Link::kCudaIndex;
    }
    if (candidate.facts.pciAddress.empty()) {
        candidate.link = Link::kNone;
        if (device.cudaDevice >= 0) {
            candidate.identity = "cuda:" + std::to_string(device.cudaDevice);
            candidate.caption = "CUDA device " + std::to_string(device.cudaDevice);
        } else if (!device.uuid.empty()) {
            candidate.identity = LinuxDeviceFacts::UuidText(device.uuid);
            candidate.caption = candidate.identity;
        }
    }
}

// The last link: one NVIDIA GPU left and one device left to tie (one
// identity, however many EGL lists it; a device with no identity at all is
// one of its own); with more of either, nothing is guessed.
void TieByPosition(const NvidiaGpuIndex& nvidia, std::vector<Candidate>& candidates)
{
    std::set<std::string> untied;
    std::size_t nameless = 0;
    for (const Candidate& candidate : candidates) {
        if (candidate.link == Link::kNone && candidate.identity.empty()) {
            ++nameless;
        } else if (candidate.link == Link::kNone) {
            untied.insert(candidate.identity);
        }
    }
    const DeviceFacts* left = untied.size() + nameless == 1 ? nvidia.OnlyOneLeft(candidates) : nullptr;
    for (Candidate& candidate : candidates) {
        if (left != nullptr && candidate.link == Link::kNone) {
            candidate.facts = *left;
            candidate.link = Link::kPosition;
        }
    }
}

std::vector<Candidate> HardwareCandidates(EGLEnumerationSystem& system, const std::vector<EGLDeviceSummary>& devices)
{
    std::vector<Candidate> candidates;
    std::unique_ptr<NvidiaGpuIndex> nvidia;
    for (std::size_t index = 0; index < devices.size(); ++index) {
        const EGLDeviceSummary& device = devices[index];
        if (device.software) {
            continue;
        }
        Candidate candidate{index, DeviceFacts(), std::string(), std::string(), Link::kNone};
        if (!device.drmNode.empty()) {
            candidate.facts = system.DrmNodeFacts(device.drmNode);
            candidate.identity = device.drmNode;
            candidate.caption = device.drmNode;
            candidate.link = Link::kDrmNode;
        } else {
            // No DRM node: nvidia-drm is not loaded, or /dev/dri is not in this container.
            if (!nvidia) {
                nvidia.reset(new NvidiaGpuIndex(system));
            }
            TieToNvidiaGpu(system, *nvidia, device, candidate);
        }
        candidates.push_back(candidate);
    }
    if (nvidia) {
        TieByPosition(*nvidia, candidates);
    }
    for (Candidate& candidate : candidates) {
        if (!candidate.facts.pciAddress.empty()) {
            // One GPU once, however many EGL vendors list it (NVIDIA's EGL and
            // Mesa's render node of the same GPU).
            candidate.identity = LinuxDeviceFacts::CanonicalPciAddress(candidate.facts.pciAddress);
            candidate.caption = "PCI " + candidate.facts.pciAddress;
        }
    }
    // PCI bus order where known (canonical addresses are fixed-width hex, so
    // text order is bus order); devices without an address follow in EGL's order.
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& left, const Candidate& right) {
        const bool leftKnown = !left.facts.pciAddress.empty();
        const bool rightKnown = !right.facts.pciAddress.empty();
        return leftKnown != rightKnown ? leftKnown : leftKnown && left.identity < right.identity;
    });
    return candidates;
}

// The device's context, or null when its display or context cannot be made
// (Mesa lists render nodes it cannot drive).
std::unique_ptr<ZEB::OGL::Context> TryOpen(EGLEnumerationSystem& system, std::size_t index)
{
    try {
        return system.OpenContext(index);
    } catch (const std::exception&) {
        return std::unique_ptr<ZEB::OGL::Context>();
    }
}

} // namespace

GPUFactoryLinux::GPUFactoryLinux() : apOwnSystem_(new EGLEnumerationSystemLinux()), system_(*apOwnSystem_) {}

GPUFactoryLinux::GPUFactoryLinux(EGLEnumerationSystem& system) : system_(system) {}

GPUFactoryLinux::~GPUFactoryLinux() {}

std::unique_ptr<ZEB::OGL::Context> GPUFactoryLinux::OpenFirstContext(EGLEnumerationSystem& system)
{
    std::unique_ptr<ZEB::OGL::Context> first;
    Walk(system, [&first](std::unique_ptr<ZEB::OGL::Context> context, const DeviceFacts&, const std::string&) {
        first = std::move(context);
        return false;
    });
    return first;
}

GPUList GPUFactoryLinux::CreateGPUs()
{
    ZEB::Core::Library::initialize();
    {
        ZEB::OGL::Library::InitOptions options;
        ZEB::OGL::Library::initialize(options);
    }
    GPUList gpus;
    Walk(system_, [&gpus](std::unique_ptr<ZEB::OGL::Context> context, const DeviceFacts& facts,
                          const std::string& caption) {
        const boost::shared_ptr<ZEB::OGL::Context> shared(context.release());
        gpus.push_back(boost::shared_ptr<GPU>(new GPULinux(shared, facts, caption)));
        return true;
    });
    return gpus;
}

void GPUFactoryLinux::Walk(EGLEnumerationSystem& system, const Visitor& visit)
{
    const std::vector<EGLDeviceSummary> devices = system.Devices();

    // glvnd lists every vendor library's devices without removing the ones
    // another vendor listed already: the first that works stands for its GPU.
    std::set<std::string> taken;
    bool hardware = false;
    for (const Candidate& candidate : HardwareCandidates(system, devices)) {
        if (!candidate.identity.empty() && taken.count(candidate.identity) != 0) {
            continue;
        }
        if (!ListingSteps::Enter(devices[candidate.index].eglIndex, candidate.identity)) {
            continue;
        }
        std::unique_ptr<ZEB::OGL::Context> context = TryOpen(system, candidate.index);
        if (!context) {
            continue;
        }
        taken.insert(candidate.identity);
        hardware = true;
        if (!visit(std::move(context), candidate.facts, candidate.caption)) {
            return;
        }
    }
    if (hardware) {
        return;
    }

    // No GPU: the software renderer is the one, so the report still says what
    // this machine's OpenGL can do. It has no PCI identity and no kernel driver.
    for (std::size_t index = 0; index < devices.size(); ++index) {
        if (!devices[index].software || !ListingSteps::Enter(devices[index].eglIndex)) {
            continue;
        }
        std::unique_ptr<ZEB::OGL::Context> context = TryOpen(system, index);
        if (context) {
            DeviceFacts facts;
            facts.driver = system.DriverName(*context);
            facts.software = true;
            visit(std::move(context), facts, "EGL software device");
            return;
        }
    }
}
