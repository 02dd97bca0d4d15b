#pragma once

#include "zeb/ocl/Context.h"
#include "zeb/ocl/Device.h"

#include <CL/cl.h>

namespace ZEB {
namespace OCL {

// A command queue on one device of a context; released when destroyed.
class CommandQueue {
public:
    CommandQueue(const Context& context, const Device& device, bool outOfOrder, bool profiling);
    ~CommandQueue();

    cl_command_queue handle() const { return hQueue_; }

private:
    CommandQueue(const CommandQueue&) = delete;
    CommandQueue& operator=(const CommandQueue&) = delete;

    cl_command_queue hQueue_;
};

} // namespace OCL
} // namespace ZEB
