#include "compute/OpenCLVersionText.h"

namespace {
const char kPrefix[] = "OpenCL ";
const char kCUDASeparator[] = " CUDA ";
} // namespace

std::string OpenCLVersionText::WithoutPrefix(const std::string& platformVersion)
{
    const std::string prefix(kPrefix);
    if (platformVersion.compare(0, prefix.size(), prefix) == 0) {
        return platformVersion.substr(prefix.size());
    }
    return platformVersion;
}

OpenCLVersionText::OpenCLVersionText(const std::string& platformVersion)
    : sOpenCL_(WithoutPrefix(platformVersion)), bHasCUDA_(false)
{
    const std::string separator(kCUDASeparator);
    const std::string::size_type found = sOpenCL_.find(separator);
    if (found != std::string::npos) {
        sCUDA_ = sOpenCL_.substr(found + separator.size());
        sOpenCL_.erase(found);
        bHasCUDA_ = true;
    }
}
