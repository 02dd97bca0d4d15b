#include "legacy/CheckOpenCL.h"

#include "compute/DeviceRate.h"
#include "compute/OpenCLBandwidth.h"
#include "compute/OpenCLStartup.h"
#include "compute/OpenCLVersionText.h"
#include "gpu/OpenGLBandwidth.h"

#include "zeb/ocl/CommandQueue.h"
#include "zeb/ocl/Context.h"
#include "zeb/ocl/ContextProperties.h"
#include "zeb/ocl/Platform.h"
#include "zeb/ogl/Context.h"

namespace {

// -1: never run; 0 or 1 once the check has run (1 after a device context was
// built, 0 again when that device's version was refused).
std::int32_t siOpenCLState_ = -1;
std::vector<DeviceInfo> svDeviceInfo_;

void MeasurePlatform(const ZEB::OCL::Platform& platform, const ZEB::OGL::Context& glContext, std::string* version)
{
    const std::vector<ZEB::OCL::Device> devices = platform.devices(ZEB::OCL::Device::TYPE_GPU);
    ZEB::OCL::ContextProperties properties(platform);
    properties.setSharedRenderContext(glContext.renderContext());
    properties.setDisplayContext(glContext.deviceContext());

    for (const ZEB::OCL::Device& device : devices) {
        const ZEB::OCL::Context context(properties, device, ZEB::OCL::Context::NotifyCallback());
        siOpenCLState_ = 1;
        const std::string text = OpenCLVersionText::WithoutPrefix(platform.version());
        if (text.find("1.0") != std::string::npos) {
            siOpenCLState_ = 0;
            continue;
        }
        if (version != nullptr) {
            *version = text;
        }
        const ZEB::OCL::CommandQueue queue(context, device, false, true);
        const std::uint64_t rate = DeviceRate::Combine(LegacyMeasureOpenCLBandwidth(context, queue), [&glContext]() {
            return LegacyMeasureOpenGLBandwidth(glContext);
        });
        svDeviceInfo_.push_back(DeviceInfo{platform.handle(), device.handle(), rate});
    }
}

} // namespace

bool CheckOpenCL(const ZEB::OGL::Context* context, std::string* version)
{
    if (siOpenCLState_ < 0) {
        siOpenCLState_ = 0;
        const bool started = OpenCLStartup::Start();
        std::vector<ZEB::OCL::Platform> platforms;
        try {
            if (started && context != nullptr) {
                platforms = ZEB::OCL::platforms();
            }
        } catch (...) {
            // A runtime that cannot list its platforms offers none.
        }
        for (const ZEB::OCL::Platform& platform : platforms) {
            try {
                MeasurePlatform(platform, *context, version);
            } catch (...) {
                // A failing device ends the work on its platform; devices measured before stay.
            }
        }
    }
    return IsOpenCLUsable(svDeviceInfo_);
}

bool IsOpenCLUsable(const std::vector<DeviceInfo>& devices)
{
    const DeviceInfo* best = nullptr;
    for (const DeviceInfo& device : devices) {
        if (best == nullptr || device.rate > best->rate) {
            best = &device;
        }
    }
    return best != nullptr && DeviceRate::IsSufficient(best->rate);
}

std::uint64_t LegacyMeasureOpenCLBandwidth(const ZEB::OCL::Context& context, const ZEB::OCL::CommandQueue& queue)
{
    return OpenCLBandwidth::MeasureInBatches(context, queue, DeviceRate::kSufficient);
}

std::uint64_t LegacyMeasureOpenGLBandwidth(const ZEB::OGL::Context& context)
{
    return OpenGLBandwidth::Measure(context);
}

const std::vector<DeviceInfo>& MeasuredOpenCLDevices() { return svDeviceInfo_; }
