#include "compute/OpenCLBandwidth.h"

#include "compute/DeviceRate.h"
#include "compute/MeasurementClock.h"
#include "compute/ProgressSignal.h"

#include "zeb/ocl/CommandQueue.h"
#include "zeb/ocl/Context.h"
#include "zeb/ocl/ExtensionManager.h"

#include <stdexcept>
#include <vector>

namespace {

void Check(cl_int error)
{
    if (error != CL_SUCCESS) {
        throw std::runtime_error("oclCheckError fail");
    }
}

const cl_icd_dispatch& Table()
{
    ZEB::OCL::ExtensionManager* manager = ZEB::OCL::ExtensionManager::instance();
    if (manager == nullptr) {
        throw std::runtime_error("oclCheckError fail");
    }
    return manager->table();
}

// The two buffers of a measurement, source and destination; released in
// that order whatever happens in between.
class CopyBuffers {
public:
    CopyBuffers(const cl_icd_dispatch& table, cl_context context, cl_mem_flags sourceFlags,
                cl_mem_flags destinationFlags)
        : table_(table), source_(nullptr), destination_(nullptr)
    {
        cl_int error = CL_SUCCESS;
        source_ = table_.clCreateBuffer(context, sourceFlags, OpenCLBandwidth::kBufferBytes, nullptr, &error);
        Check(error);
        destination_ =
            table_.clCreateBuffer(context, destinationFlags, OpenCLBandwidth::kBufferBytes, nullptr, &error);
        if (error != CL_SUCCESS) {
            release();
            Check(error);
        }
    }
    ~CopyBuffers() { release(); }

    // `count` copies, each with its own event, then the summed device time.
    std::uint64_t TimeCopies(cl_command_queue queue, unsigned count)
    {
        std::vector<cl_event> events;
        events.reserve(count);
        cl_int error = CL_SUCCESS;
        for (unsigned i = 0; i < count && error == CL_SUCCESS; ++i) {
            cl_event event = nullptr;
            error = table_.clEnqueueCopyBuffer(queue, source_, destination_, 0, 0, OpenCLBandwidth::kBufferBytes, 0,
                                               nullptr, &event);
            if (error == CL_SUCCESS) {
                events.push_back(event);
            }
        }
        if (error == CL_SUCCESS) {
            error = table_.clFinish(queue);
        }
        std::uint64_t total = 0;
        for (cl_event event : events) {
            cl_ulong start = 0;
            cl_ulong end = 0;
            if (error == CL_SUCCESS) {
                error = table_.clGetEventProfilingInfo(event, CL_PROFILING_COMMAND_END, sizeof end, &end, nullptr);
            }
            if (error == CL_SUCCESS) {
                error =
                    table_.clGetEventProfilingInfo(event, CL_PROFILING_COMMAND_START, sizeof start, &start, nullptr);
            }
            total += end - start;
            table_.clReleaseEvent(event);
        }
        Check(error);
        return total;
    }

private:
    CopyBuffers(const CopyBuffers&) = delete;
    CopyBuffers& operator=(const CopyBuffers&) = delete;

    void release()
    {
        if (source_ != nullptr) {
            table_.clReleaseMemObject(source_);
            source_ = nullptr;
        }
        if (destination_ != nullptr) {
            table_.clReleaseMemObject(destination_);
            destination_ = nullptr;
        }
    }

    const cl_icd_dispatch& table_;
    cl_mem source_;
    cl_mem destination_;
};

} // namespace

const std::uint64_t OpenCLBandwidth::kBufferBytes;

std::uint64_t OpenCLBandwidth::Measure(const ZEB::OCL::Context& context, const ZEB::OCL::CommandQueue& queue)
{
    const MeasurementClock::Scope timed;
    ProgressSignal::Beat();
    const cl_icd_dispatch& table = Table();
    CopyBuffers buffers(table, context.handle(), CL_MEM_READ_ONLY, CL_MEM_WRITE_ONLY);
    Check(table.clFinish(queue.handle()));
    const std::uint64_t copies = 64;
    const std::uint64_t nanoseconds = buffers.TimeCopies(queue.handle(), copies);
    return DeviceRate::FromDouble(kBufferBytes * 2 * copies, nanoseconds);
}

std::uint64_t OpenCLBandwidth::MeasureInBatches(const ZEB::OCL::Context& context,
                                                const ZEB::OCL::CommandQueue& queue, std::uint64_t goal)
{
    const MeasurementClock::Scope timed;
    const cl_icd_dispatch& table = Table();
    CopyBuffers buffers(table, context.handle(), CL_MEM_READ_WRITE, CL_MEM_READ_WRITE);
    Check(table.clFinish(queue.handle()));

    const std::uint64_t copies = 10;
    const std::uint64_t timeBudget = 250000000;  // a quarter of a second of device time
    std::uint64_t best = 0;
    std::uint64_t spent = 0;
    while (best < goal) {
        ProgressSignal::Beat();
        const std::uint64_t nanoseconds = buffers.TimeCopies(queue.handle(), copies);
        if (nanoseconds == 0) {
            break;  // a device that reports no time would never reach the budget
        }
        spent += nanoseconds;
        const std::uint64_t rate = DeviceRate::FromInteger(kBufferBytes * 2 * copies, nanoseconds);
        if (rate > best) {
            best = rate;
        }
        if (spent >= timeBudget) {
            break;
        }
    }
    return best;
}
