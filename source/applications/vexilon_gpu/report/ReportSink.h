#pragma once

#include <string>

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
};
