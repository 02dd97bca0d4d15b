#pragma once

#include <CL/cl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ZEB {
namespace OGL {
class Context;
} // namespace OGL
namespace OCL {
class Context;
class CommandQueue;
} // namespace OCL
} // namespace ZEB

// One OpenCL device the legacy check measured.
struct DeviceInfo {
    cl_platform_id platform;
    cl_device_id device;
    std::uint64_t rate;
};

// Whether OpenCL is usable for the legacy check: every GPU device of every
// platform whose version is not 1.0 is measured (with OpenGL sharing to
// `context`), once per process; true when the best rate reaches the
// threshold. `version`, when given, receives the version text (without its
// "OpenCL " prefix) of the last device measured.
bool CheckOpenCL(const ZEB::OGL::Context* context, std::string* version);

// The verdict over measured devices: the best rate (first of equals) reaches the threshold.
bool IsOpenCLUsable(const std::vector<DeviceInfo>& devices);

std::uint64_t LegacyMeasureOpenCLBandwidth(const ZEB::OCL::Context& context, const ZEB::OCL::CommandQueue& queue);
std::uint64_t LegacyMeasureOpenGLBandwidth(const ZEB::OGL::Context& context);

// The devices measured so far in this process, in measurement order.
const std::vector<DeviceInfo>& MeasuredOpenCLDevices();
