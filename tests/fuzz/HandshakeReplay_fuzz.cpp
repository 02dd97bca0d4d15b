// The output-file replay: whatever bytes the host prepared reach the output
// unchanged (no line-end translation on this system).
#include "driver/HandshakeFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

// The replay reads its file from the working directory: a folder of its own,
// in memory where the system has such a folder, removed with the process.
struct Folder {
    std::string path;
    ~Folder() { std::filesystem::remove_all(path); }
} gFolder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char inMemory[] = "/dev/shm/vexilon-replay-fuzz-XXXXXX";
    char onDisk[] = "/tmp/vexilon-replay-fuzz-XXXXXX";
    gFolder.path = mkdtemp(inMemory) ? inMemory : mkdtemp(onDisk) ? onDisk : "";
    if (gFolder.path.empty() || chdir(gFolder.path.c_str()) != 0) {
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
