#pragma once

#include <cstdint>
#include <functional>

// How a device's transfer rate (bytes per nanosecond) is judged.
class DeviceRate {
public:
    // Below this the OpenCL copy rate is not enough on its own.
    static const std::uint64_t kSufficient = 12;

    // The OpenCL rate, or, when that is below kSufficient, the larger of it and
    // the OpenGL draw rate (measured only then).
    static std::uint64_t Combine(std::uint64_t openCLRate, const std::function<std::uint64_t()>& measureOpenGL);

    static bool IsSufficient(std::uint64_t rate) { return rate >= kSufficient; }

    // bytes / nanoseconds, 0 when no time was measured.
    static std::uint64_t FromDouble(std::uint64_t bytes, std::uint64_t nanoseconds);
    static std::uint64_t FromInteger(std::uint64_t bytes, std::uint64_t nanoseconds);

private:
    DeviceRate() = delete;
};
