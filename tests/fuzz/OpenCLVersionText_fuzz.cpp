// The platform version split: the two texts always put back together into
// the version without its "OpenCL " prefix.
#include "compute/OpenCLVersionText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string version(reinterpret_cast<const char*>(data), size);
    const OpenCLVersionText split(version);
    const std::string joined = split.HasCUDA() ? split.OpenCL() + " CUDA " + split.CUDA() : split.OpenCL();
    if (joined != OpenCLVersionText::WithoutPrefix(version) || (!split.HasCUDA() && !split.CUDA().empty()) ||
        split.OpenCL().find(" CUDA ") != std::string::npos) {
        std::abort();
    }
    return 0;
}
