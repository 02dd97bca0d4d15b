#include "ScopedDirectory.h"

#include <fstream>
#include <stdexcept>

namespace testsupport {

void ScopedDirectory::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream stream(file(name), std::ios::binary);
    stream << bytes;
    if (!stream) {
        throw std::runtime_error("cannot write " + file(name));
    }
}

} // namespace testsupport
