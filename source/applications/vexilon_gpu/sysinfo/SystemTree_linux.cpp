#include "sysinfo/SystemTree.h"

#include "sysinfo/NvidiaLibraries.h"

#include <xf86drm.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace {

const char kBlanks[] = " \t\r\n";

// A file descriptor closed with the object.
class ScopedFile {
public:
    explicit ScopedFile(int descriptor) : iDescriptor_(descriptor) {}
    ~ScopedFile()
    {
        if (iDescriptor_ >= 0) {
            ::close(iDescriptor_);
        }
    }
    int get() const { return iDescriptor_; }

private:
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;

    int iDescriptor_;
};

// A directory stream closed with the object.
class ScopedDirectory {
public:
    explicit ScopedDirectory(DIR* directory) : pDirectory_(directory) {}
    ~ScopedDirectory()
    {
        if (pDirectory_) {
            ::closedir(pDirectory_);
        }
    }
    DIR* get() const { return pDirectory_; }

private:
    ScopedDirectory(const ScopedDirectory&) = delete;
    ScopedDirectory& operator=(const ScopedDirectory&) = delete;

    DIR* pDirectory_;
};

// realpath's answer, or empty.
std::string RealPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) {
        return std::string();
    }
    const std::string result(resolved);
    std::free(resolved);
    return result;
}

} // namespace

SystemTree::SystemTree(const std::string& root) : sRoot_(root)
{
    while (!sRoot_.empty() && sRoot_.back() == '/') {
        sRoot_.pop_back();
    }
}

SystemTree::~SystemTree() {}

std::string SystemTree::HostPath(const std::string& path) const
{
    return sRoot_ + path;
}

bool SystemTree::ReadFile(const std::string& path, std::string& text) const
{
    text.clear();
    const ScopedFile file(::open(HostPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status;
    // Only regular files: a FIFO or device node could block or never end.
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    // sysfs and /proc give sizes that mean nothing, so read to the end.
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            text.clear();
            return false;
        }
        if (count == 0) {
            return true;
        }
        if (text.size() + static_cast<std::size_t>(count) > kMaxFileBytes) {
            text.clear();
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

bool SystemTree::ReadLine(const std::string& path, std::string& line) const
{
    line.clear();
    std::string text;
    if (!ReadFile(path, text)) {
        return false;
    }
    line = text.substr(0, text.find('\n'));
    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        line.clear();
        return false;
    }
    line = line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
    return true;
}

bool SystemTree::ReadNumber(const std::string& path, int base, std::uint64_t& value) const
{
    std::string line;
    value = 0;
    return ReadLine(path, line) && ParseNumber(line, base, value);
}

std::vector<std::string> SystemTree::ListDirectory(const std::string& path) const
{
    std::vector<std::string> names;
    const ScopedDirectory directory(::opendir(HostPath(path).c_str()));
    if (!directory.get()) {
        return names;
    }
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string name(entry->d_name);
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SystemTree::ResolvePath(const std::string& path) const
{
    const std::string resolved = RealPath(HostPath(path));
    if (IsRunningSystem() || resolved.empty()) {
        return resolved;
    }
    const std::string root = RealPath(sRoot_);
    if (root.empty() || resolved.compare(0, root.size(), root) != 0) {
        return std::string();
    }
    if (resolved.size() == root.size()) {
        return "/";
    }
    return resolved[root.size()] == '/' ? resolved.substr(root.size()) : std::string();
}

bool SystemTree::ParseNumber(const std::string& text, int base, std::uint64_t& value)
{
    value = 0;
    std::size_t position = 0;
    if (base == 16) {
        if (text.compare(0, 2, "0x") != 0) {
            return false;
        }
        position = 2;
    } else if (base != 10) {
        return false;
    }
    if (position == text.size()) {
        return false;
    }
    for (; position < text.size(); ++position) {
        const char c = text[position];
        unsigned int digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned int>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned int>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned int>(c - 'A' + 10);
        } else {
            value = 0;
            return false;
        }
        if (value > (UINT64_MAX - digit) / static_cast<unsigned int>(base)) {
            value = 0;
            return false;
        }
        value = value * static_cast<unsigned int>(base) + digit;
    }
    return true;
}

bool SystemTree::DrmDriverVersion(const std::string& nodePath, DrmVersion& version) const
{
    version = DrmVersion();
    if (!IsRunningSystem()) {
        return DrmDriverVersionFromFile(nodePath, version);
    }
    const ScopedFile node(::open(nodePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (node.get() < 0) {
        return false;
    }
    drmVersionPtr answer = drmGetVersion(node.get());
    if (!answer) {
        return false;
    }
    version.major = answer->version_major;
    version.minor = answer->version_minor;
    version.patchlevel = answer->version_patchlevel;
    if (answer->name && answer->name_len > 0) {
        version.name.assign(answer->name, static_cast<std::size_t>(answer->name_len));
    }
    if (answer->date && answer->date_len > 0) {
        version.date.assign(answer->date, static_cast<std::size_t>(answer->date_len));
    }
    drmFreeVersion(answer);
    return true;
}

bool SystemTree::DrmDriverVersionFromFile(const std::string& nodePath, DrmVersion& version) const
{
    std::string text;
    if (!ReadFile(nodePath + ".drm-version", text)) {
        return false;
    }
    std::istringstream lines(text);
    std::string number;
    std::getline(lines, version.name);
    std::getline(lines, number);
    std::getline(lines, version.date);
    int* parts[] = {&version.major, &version.minor, &version.patchlevel};
    std::istringstream numbers(number);
    for (std::size_t i = 0; i < 3; ++i) {
        std::string part;
        std::uint64_t value;
        if (!std::getline(numbers, part, i < 2 ? '.' : '\n') || !ParseNumber(part, 10, value) || value > INT_MAX) {
            version = DrmVersion();
            return false;
        }
        *parts[i] = static_cast<int>(value);
    }
    return true;
}

bool SystemTree::NvidiaMemoryBytes(const std::string& pciAddress, std::uint64_t& bytes) const
{
    bytes = 0;
    if (!IsRunningSystem()) {
        return NvidiaMemoryBytesFromFile(pciAddress, bytes);
    }
    return Nvidia().NvmlMemoryBytes(pciAddress, bytes);
}

std::string SystemTree::NvidiaDriverVersion() const { return Nvidia().NvmlDriverVersion(); }

std::string SystemTree::NvidiaPciAddressOfUuid(const std::string& uuid) const { return Nvidia().NvmlPciAddress(uuid); }

std::string SystemTree::CudaPciAddress(int ordinal) const { return Nvidia().CudaPciAddress(ordinal); }

NvidiaLibraries& SystemTree::Nvidia() const
{
    if (!apNvidia_) {
        apNvidia_.reset(IsRunningSystem() ? new NvidiaLibraries()
                                          : new NvidiaLibraries(HostPath("/lib/libcuda.so.1"),
                                                                HostPath("/lib/libnvidia-ml.so.1")));
    }
    return *apNvidia_;
}

bool SystemTree::NvidiaMemoryBytesFromFile(const std::string& pciAddress, std::uint64_t& bytes) const
{
    return pciAddress.find('/') == std::string::npos && ReadNumber("/nvml/" + pciAddress, 10, bytes) && bytes > 0;
}
