#pragma once

#include "zeb/ocl/Device.h"

#include <CL/cl.h>

#include <string>
#include <vector>

namespace ZEB {
namespace OCL {

class Platform {
public:
    explicit Platform(cl_platform_id handle) : hPlatform_(handle) {}

    cl_platform_id handle() const { return hPlatform_; }
    // The platform version text, for example "OpenCL 1.2 <vendor>".
    std::string version() const;
    // The platform's devices of the given type; empty when it has none.
    std::vector<Device> devices(Device::Type type) const;

private:
    cl_platform_id hPlatform_;
};

// Every platform of the loaded runtime, in the runtime's order.
std::vector<Platform> platforms();

} // namespace OCL
} // namespace ZEB
