#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// A throw-away directory that stands in for "/" (sysfs, /proc, /dev),
// removed with the object. Paths are given as on the running system.
class FakeSysfsTree {
public:
    FakeSysfsTree()
    {
        // In memory where the system has such a folder: fuzzing rewrites the files for every input.
        char inMemory[] = "/dev/shm/vexilon-sysfs-XXXXXX";
        char onDisk[] = "/tmp/vexilon-sysfs-XXXXXX";
        sRoot_ = ::mkdtemp(inMemory) ? inMemory : ::mkdtemp(onDisk) ? onDisk : "";
    }
    ~FakeSysfsTree() { std::filesystem::remove_all(sRoot_); }
    const std::string& Root() const { return sRoot_; }

    void Write(const std::string& path, const std::string& text) const
    {
        const std::filesystem::path file(sRoot_ + path);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    // A relative link at `path` to `target`, as sysfs makes them; the target becomes a directory.
    void Link(const std::string& path, const std::string& target) const
    {
        const std::filesystem::path link(sRoot_ + path);
        std::filesystem::create_directories(link.parent_path());
        std::filesystem::create_directories(sRoot_ + target);
        std::filesystem::create_directory_symlink(std::filesystem::relative(sRoot_ + target, link.parent_path()), link);
    }

private:
    std::string sRoot_;
};
