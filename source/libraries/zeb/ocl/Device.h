#pragma once

#include <CL/cl.h>

#include <string>

namespace ZEB {
namespace OCL {

class Device {
public:
    // The OpenCL device type bits.
    enum Type {
        TYPE_DEFAULT = 1,
        TYPE_CPU = 2,
        TYPE_GPU = 4,
        TYPE_ACCELERATOR = 8,
        TYPE_ALL = 0xFFFFFFFF
    };

    explicit Device(cl_device_id handle) : hDevice_(handle) {}

    cl_device_id handle() const { return hDevice_; }
    std::string name() const;

private:
    cl_device_id hDevice_;
};

} // namespace OCL
} // namespace ZEB
