#include "ScopedDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace testsupport {

const char ScopedDirectory::kSeparator = '/';

ScopedDirectory::ScopedDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vexilon-test-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = name.data();
}

ScopedDirectory::~ScopedDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace testsupport
