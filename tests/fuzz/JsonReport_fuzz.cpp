// The JSON report on any lines ("!tag reason" a failed block, "~tag facts" a
// device's Vulkan facts): whatever the bytes, the document must parse back.
#include "report/JsonReport.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    JsonReport report;
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; std::getline(input, line);) {
        if (!line.empty() && line[0] == '!') {
            report.FailedBlock(line.substr(1, line.find(' ') - 1), line.substr(line.find(' ') + 1));
        } else if (!line.empty() && line[0] == '~') {
            report.VulkanFacts(line.substr(1, line.find(' ') - 1), line.substr(line.find(' ') + 1));
        } else {
            report.Line(line);
        }
    }
    (void)nlohmann::json::parse(report.Text());  // throws, and so fails, on an invalid document
    return 0;
}
