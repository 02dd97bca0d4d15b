#pragma once

#include <cstdint>

namespace ZEB {
namespace OCL {
class Context;
class CommandQueue;
} // namespace OCL
} // namespace ZEB

// Buffer-to-buffer copy rate of one OpenCL device, in bytes per nanosecond
// (each byte counted once read and once written), from the queue's own
// profiling times. Any failing OpenCL call throws
// std::runtime_error("oclCheckError fail").
class OpenCLBandwidth {
public:
    static const std::uint64_t kBufferBytes = 16777216;

    // One batch of 64 copies from a read-only to a write-only buffer.
    static std::uint64_t Measure(const ZEB::OCL::Context& context, const ZEB::OCL::CommandQueue& queue);

    // Batches of 10 copies between read-write buffers until one batch reaches
    // `goal` or a quarter of a second of device time has been spent; the best
    // batch rate.
    static std::uint64_t MeasureInBatches(const ZEB::OCL::Context& context, const ZEB::OCL::CommandQueue& queue,
                                          std::uint64_t goal);

private:
    OpenCLBandwidth() = delete;
};
