// The output-file replay: whatever bytes the host prepared reach the output
// unchanged (no line-end translation on this system).
#include "driver/HandshakeFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The replay reads its file from the working directory: one in memory
    // where the system has such a folder.
    char inMemory[] = "/dev/shm/vexilon-replay-fuzz-XXXXXX";
    char onDisk[] = "/tmp/vexilon-replay-fuzz-XXXXXX";
    const char* folder = mkdtemp(inMemory);
    if (folder == nullptr) {
        folder = mkdtemp(onDisk);
    }
    if (folder == nullptr || chdir(folder) != 0) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* prepared = std::fopen(HandshakeFiles::kOutputFile, "wb");
    if (prepared == nullptr || std::fwrite(data, 1, size, prepared) != size || std::fclose(prepared) != 0) {
        std::abort();
    }

    char* replayed = nullptr;
    std::size_t replayedSize = 0;
    std::FILE* out = open_memstream(&replayed, &replayedSize);
    if (out == nullptr || !HandshakeFiles::ReplayOutputFile(out)) {
        std::abort();
    }
    std::fclose(out);
    const bool unchanged = replayedSize == size && std::memcmp(replayed, data, size) == 0;
    std::free(replayed);
    if (!unchanged) {
        std::abort();
    }
    return 0;
}
