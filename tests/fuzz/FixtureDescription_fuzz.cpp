// The test OpenCL runtime's reader of its description: any text is read or
// refused, and what it reads stays within the runtime's limits.
extern "C" {
#include "FixtureDescription.h"
}

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FixtureDescription description;
    const int read = FixtureDescriptionRead(reinterpret_cast<const char*>(data), size, &description);
    if (!read && description.platformCount != 0) {
        std::abort();
    }
    if (description.platformCount > FIXTURE_MAX_PLATFORMS) {
        std::abort();
    }
    for (unsigned p = 0; p < description.platformCount; ++p) {
        const FixturePlatform& platform = description.platforms[p];
        if (platform.deviceCount > FIXTURE_MAX_DEVICES ||
            std::memchr(platform.version, '\0', sizeof platform.version) == nullptr) {
            std::abort();
        }
        for (unsigned d = 0; d < platform.deviceCount; ++d) {
            const double rate = platform.devices[d].rate;
            if (!(rate >= 0) || std::isinf(rate) || platform.devices[d].failContext > 0 ||
                platform.devices[d].failCopy > 0) {
                std::abort();
            }
        }
    }
    return 0;
}
