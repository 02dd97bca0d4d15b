// The test OpenCL runtime's description reader: any bytes are read or
// refused, and what it reads stays within the runtime's limits.
extern "C" {
#include "FixtureDescription.h"
}

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FixtureDescription read;
    bool good = (FixtureDescriptionRead(reinterpret_cast<const char*>(data), size, &read) || read.platformCount == 0) &&
                read.platformCount <= FIXTURE_MAX_PLATFORMS;
    for (unsigned p = 0; good && p < read.platformCount; ++p) {
        const FixturePlatform& platform = read.platforms[p];
        good = platform.deviceCount <= FIXTURE_MAX_DEVICES && std::memchr(platform.version, '\0', FIXTURE_MAX_VERSION);
        for (unsigned d = 0; good && d < platform.deviceCount; ++d) {
            const FixtureDevice& device = platform.devices[d];
            good = device.rate >= 0 && device.rate < 1e17 && device.failContext <= 0 && device.failCopy <= 0;
        }
    }
    if (!good) {
        std::abort();
    }
    return 0;
}
