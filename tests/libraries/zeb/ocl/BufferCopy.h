#pragma once

// Buffers and copies through the layer's entry-point table, as the tool's
// bandwidth measurement uses them. Included by the tests of this folder.
#include "zeb/ocl/CommandQueue.h"
#include "zeb/ocl/Context.h"
#include "zeb/ocl/Error.h"
#include "zeb/ocl/ExtensionManager.h"

#include <CL/cl_icd.h>

#include <vector>

namespace ocltest {

inline const cl_icd_dispatch& Table() { return ZEB::OCL::ExtensionManager::instance()->table(); }

// Two buffers of one size on a context, released at the end of the scope.
class BufferCopy {
public:
    BufferCopy(const ZEB::OCL::Context& context, size_t size) : size_(size)
    {
        cl_int error = CL_SUCCESS;
        source_ = Table().clCreateBuffer(context.handle(), CL_MEM_READ_ONLY, size, nullptr, &error);
        ZEB::OCL::Error::check(error, "clCreateBuffer");
        destination_ = Table().clCreateBuffer(context.handle(), CL_MEM_WRITE_ONLY, size, nullptr, &error);
        if (error != CL_SUCCESS) {
            Table().clReleaseMemObject(source_);
            ZEB::OCL::Error::check(error, "clCreateBuffer");
        }
    }
    ~BufferCopy()
    {
        Table().clReleaseMemObject(source_);
        Table().clReleaseMemObject(destination_);
    }
    BufferCopy(const BufferCopy&) = delete;
    BufferCopy& operator=(const BufferCopy&) = delete;

    cl_mem source() const { return source_; }
    cl_mem destination() const { return destination_; }

    // One copy from source to destination; returns clEnqueueCopyBuffer's code
    // and, on success, the profiled time of the copy in nanoseconds.
    cl_int copy(const ZEB::OCL::CommandQueue& queue, cl_ulong* nanoseconds) const
    {
        cl_event event = nullptr;
        const cl_int result =
            Table().clEnqueueCopyBuffer(queue.handle(), source_, destination_, 0, 0, size_, 0, nullptr, &event);
        if (result != CL_SUCCESS) {
            return result;
        }
        ZEB::OCL::Error::check(Table().clFinish(queue.handle()), "clFinish");
        cl_ulong start = 0, end = 0;
        const cl_int ended =
            Table().clGetEventProfilingInfo(event, CL_PROFILING_COMMAND_END, sizeof end, &end, nullptr);
        const cl_int started =
            Table().clGetEventProfilingInfo(event, CL_PROFILING_COMMAND_START, sizeof start, &start, nullptr);
        Table().clReleaseEvent(event);
        ZEB::OCL::Error::check(ended, "clGetEventProfilingInfo");
        ZEB::OCL::Error::check(started, "clGetEventProfilingInfo");
        *nanoseconds = end - start;
        return CL_SUCCESS;
    }

private:
    size_t size_;
    cl_mem source_ = nullptr;
    cl_mem destination_ = nullptr;
};

} // namespace ocltest
