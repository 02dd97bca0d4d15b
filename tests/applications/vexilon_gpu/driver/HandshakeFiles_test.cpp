#include "driver/HandshakeFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Replays `prepared` from a fresh working folder and returns what reached the output.
std::string Replay(const std::string& prepared)
{
    namespace fs = std::filesystem;
    const fs::path previous = fs::current_path();
    const fs::path folder = fs::temp_directory_path() / ("vexilon-replay-" + std::to_string(std::rand()));
    fs::create_directories(folder);
    fs::current_path(folder);
    std::ofstream(HandshakeFiles::kOutputFile, std::ios::binary) << prepared;

    std::FILE* out = std::tmpfile();
    const bool replayed = HandshakeFiles::ReplayOutputFile(out);
    std::string text(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(&text[0], 1, text.size(), out));
    std::fclose(out);

    fs::current_path(previous);
    fs::remove_all(folder);
    EXPECT_TRUE(replayed);
    return text;
}

} // namespace

TEST(HandshakeFiles, ReplayPassesEveryByteThrough)
{
    // NUL bytes, a line far past any line buffer, and no final newline.
    const std::string prepared = std::string("a\0b\n", 4) + std::string(70000, 'L') + "\n\tlast";
    EXPECT_EQ(prepared, Replay(prepared));
}
