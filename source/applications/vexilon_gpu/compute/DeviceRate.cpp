#include "compute/DeviceRate.h"

const std::uint64_t DeviceRate::kSufficient;

std::uint64_t DeviceRate::Combine(std::uint64_t openCLRate, const std::function<std::uint64_t()>& measureOpenGL)
{
    if (openCLRate >= kSufficient) {
        return openCLRate;
    }
    const std::uint64_t openGLRate = measureOpenGL();
    return openGLRate > openCLRate ? openGLRate : openCLRate;
}

std::uint64_t DeviceRate::FromDouble(std::uint64_t bytes, std::uint64_t nanoseconds)
{
    if (nanoseconds == 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(static_cast<double>(bytes) / static_cast<double>(nanoseconds));
}

std::uint64_t DeviceRate::FromInteger(std::uint64_t bytes, std::uint64_t nanoseconds)
{
    return nanoseconds == 0 ? 0 : bytes / nanoseconds;
}
