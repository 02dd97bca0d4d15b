#include "zeb/ocl/CommandQueue.h"

#include "zeb/ocl/Error.h"
#include "zeb/ocl/ExtensionManager.h"

namespace ZEB {
namespace OCL {

CommandQueue::CommandQueue(const Context& context, const Device& device, bool outOfOrder, bool profiling)
    : hQueue_(nullptr)
{
    const cl_icd_dispatch& cl = ExtensionManager::requiredTable();
    cl_command_queue_properties properties = 0;
    if (outOfOrder) {
        properties |= CL_QUEUE_OUT_OF_ORDER_EXEC_MODE_ENABLE;
    }
    if (profiling) {
        properties |= CL_QUEUE_PROFILING_ENABLE;
    }
    cl_int error = CL_SUCCESS;
    hQueue_ = cl.clCreateCommandQueue(context.handle(), device.handle(), properties, &error);
    if (hQueue_ == nullptr && error == CL_SUCCESS) {
        error = CL_INVALID_COMMAND_QUEUE;
    }
    Error::check(error, "clCreateCommandQueue");
}

CommandQueue::~CommandQueue()
{
    if (ExtensionManager* manager = ExtensionManager::instance()) {
        manager->table().clReleaseCommandQueue(hQueue_);
    }
}

} // namespace OCL
} // namespace ZEB
