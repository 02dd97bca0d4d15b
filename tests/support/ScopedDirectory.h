#pragma once

#include <string>

namespace testsupport {

// A fresh, empty folder under the temporary directory, removed with its
// contents at the end of the scope.
class ScopedDirectory {
public:
    ScopedDirectory();
    ~ScopedDirectory();
    ScopedDirectory(const ScopedDirectory&) = delete;
    ScopedDirectory& operator=(const ScopedDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

} // namespace testsupport
