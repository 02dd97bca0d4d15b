#include "ScopedDirectory.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

namespace testsupport {

ScopedDirectory::ScopedDirectory()
{
    namespace fs = std::filesystem;
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("vexilon-test-" + std::to_string(seed()));
        if (fs::create_directory(candidate)) {
            path_ = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

ScopedDirectory::~ScopedDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScopedDirectory::file(const std::string& name) const
{
    return (std::filesystem::path(path_) / name).string();
}

void ScopedDirectory::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream stream(file(name), std::ios::binary);
    stream << bytes;
    if (!stream) {
        throw std::runtime_error("cannot write " + file(name));
    }
}

} // namespace testsupport
