#include "gpu/GPUFactoryLinux.h"

#include "gpu/EGLEnumerationSystemLinux.h"
#include "gpu/GPULinux.h"

#include "zeb/core/Library.h"
#include "zeb/ogl/Context.h"
#include "zeb/ogl/Library.h"

#include <algorithm>
#include <exception>
#include <set>
#include <utility>
#include <vector>

namespace {

// A hardware device and what the system says about its GPU.
struct Candidate {
    std::size_t index;
    DeviceFacts facts;
    // What makes two devices one GPU: the PCI address, else the DRM node or
    // CUDA index; empty when nothing does.
    std::string identity;
    std::string caption;
};

std::vector<Candidate> HardwareCandidates(EGLEnumerationSystem& system, const std::vector<EGLDeviceSummary>& devices)
{
    std::vector<Candidate> candidates;
    std::vector<DeviceFacts> nvidia;
    bool nvidiaRead = false;
    for (std::size_t index = 0; index < devices.size(); ++index) {
        const EGLDeviceSummary& device = devices[index];
        if (device.software) {
            continue;
        }
        Candidate candidate{index, DeviceFacts(), std::string(), std::string()};
        if (!device.drmNode.empty()) {
            candidate.facts = system.DrmNodeFacts(device.drmNode);
            candidate.identity = device.drmNode;
            candidate.caption = device.drmNode;
        } else if (device.cudaDevice >= 0) {
            // No DRM node (nvidia-drm not loaded): the NVIDIA driver's own list,
            // which is in the order of the CUDA indexes.
            if (!nvidiaRead) {
                nvidia = system.NvidiaGpus();
                nvidiaRead = true;
            }
            const std::size_t cuda = static_cast<std::size_t>(device.cudaDevice);
            if (cuda < nvidia.size()) {
                candidate.facts = nvidia[cuda];
            }
            candidate.identity = "cuda:" + std::to_string(cuda);
            candidate.caption = "CUDA device " + std::to_string(cuda);
        }
        if (!candidate.facts.pciAddress.empty()) {
            candidate.identity = candidate.facts.pciAddress;
            candidate.caption = "PCI " + candidate.facts.pciAddress;
        }
        candidates.push_back(candidate);
    }
    // PCI bus order where known (the addresses are fixed-width hex, so text
    // order is bus order); devices without an address follow in EGL's order.
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& left, const Candidate& right) {
        if (left.facts.pciAddress.empty() != right.facts.pciAddress.empty()) {
            return right.facts.pciAddress.empty();
        }
        return left.facts.pciAddress < right.facts.pciAddress;
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
        if (!devices[index].software) {
            continue;
        }
        std::unique_ptr<ZEB::OGL::Context> context = TryOpen(system, index);
        if (context) {
            DeviceFacts facts;
            facts.driver = system.DriverName(*context);
            visit(std::move(context), facts, "EGL software device");
            return;
        }
    }
}
