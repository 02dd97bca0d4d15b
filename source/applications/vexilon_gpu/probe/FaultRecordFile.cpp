#include "probe/FaultRecordFile.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <system_error>

namespace {

std::string Reason(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

// A name beside the record that no other run picks at the same time.
std::string PrivateName(const std::string& path)
{
    std::random_device device;
    std::mt19937_64 numbers(device() ^ static_cast<std::uint64_t>(
                                           std::chrono::steady_clock::now().time_since_epoch().count()));
    std::ostringstream name;
    name << path << "." << std::hex << numbers() << ".new";
    return name.str();
}

} // namespace

bool FaultRecordFile::Read(std::string& text, std::string& error) const
{
    text.clear();
    std::error_code status;
    const std::filesystem::file_status kind = std::filesystem::status(path_, status);
    if (kind.type() == std::filesystem::file_type::not_found || status == std::errc::not_a_directory) {
        return true;
    }
    if (status || kind.type() != std::filesystem::file_type::regular) {
        error = status ? status.message() : "not a file";
        return false;
    }
    std::ifstream file(path_, std::ios::binary);
    errno = 0;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!file.is_open() || file.bad()) {
        error = Reason(errno);
        text.clear();
        return false;
    }
    return true;
}

bool FaultRecordFile::MakeFolder(std::string& error) const
{
    std::error_code made;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), made);
    if (made) {
        error = made.message();
        return false;
    }
    return true;
}

bool FaultRecordFile::Replace(const std::string& text, std::string& error) const
{
    if (!MakeFolder(error)) {
        return false;
    }
    const std::string written = PrivateName(path_);
    {
        std::ofstream file(written, std::ios::binary | std::ios::trunc);
        errno = 0;
        if (!file.is_open() || !(file << text).flush()) {
            error = Reason(errno);
            file.close();
            std::remove(written.c_str());
            return false;
        }
    }
    if (!Rename(written, path_, error)) {
        std::remove(written.c_str());
        return false;
    }
    return true;
}

bool FaultRecordFile::Remove(std::string& error) const
{
    std::error_code removed;
    std::filesystem::remove(path_, removed);
    if (removed && removed != std::errc::no_such_file_or_directory && removed != std::errc::not_a_directory) {
        error = removed.message();
        return false;
    }
    return true;
}
