#pragma once

#include "gpu/GPU.h"
#include "vulkan/VulkanDevice.h"

#include <string>

// The Vulkan stage of a JSON report: after the report's GPUs, the system's
// Vulkan devices, each tied to the GPU it is, or listed as untied. Only a
// JSON report asks for it, so the line report never loads Vulkan.
class VulkanReport {
public:
    // Says "at vulkan" to a watcher first: a driver fault from here on costs
    // only these facts.
    static void Run(const GPUList& gpus);

    // One device's facts as a JSON object's text (docs/report.schema.json).
    static std::string Facts(const VulkanDevice& device, bool windows);

private:
    VulkanReport() = delete;
};
