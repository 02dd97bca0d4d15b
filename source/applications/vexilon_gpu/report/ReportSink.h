#pragma once

#include <string>

// The pieces of work a driver fault can cost a report run.
enum class ProbeWork { kListing, kBlock, kOpenCL, kVulkan, kEnd };

// Takes the report in place of standard output: every finished report line,
// and every GPU block that ended early, in the order they happen.
class ReportSink {
public:
    virtual ~ReportSink() = default;

    // One report line, without its line end.
    virtual void Line(const std::string& line) = 0;

    // The block of the GPU tagged `tag` ended early; `what` says why.
    virtual void FailedBlock(const std::string& tag, const std::string& what) = 0;

    // The Vulkan facts (a JSON object's text) of the GPU tagged `tag`, or of a
    // device that is no GPU of the report (`tag` empty). Only the JSON
    // document holds them: the report lines stay as they are.
    virtual void VulkanFacts(const std::string& tag, const std::string& facts) = 0;

    // A fact of the GPU tagged `tag` that only the JSON document holds
    // ("kernelDriver"): the report lines stay as they are.
    virtual void GPUFact(const std::string& tag, const std::string& name, const std::string& value) = 0;

    // A device that a driver fault cost while the GPUs were listed: it has no
    // block, and `what` says why.
    virtual void LostDevice(const std::string& what) = 0;

    // A piece of work lost to a driver that crashed or hung in this run, or
    // (`skipped`) left out because it did in an earlier one with this driver.
    // Comes besides what the lines, FailedBlock and LostDevice say of it.
    virtual void ProbeFault(ProbeWork work, bool skipped) = 0;
};
