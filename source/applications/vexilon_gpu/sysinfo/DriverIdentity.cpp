#include "sysinfo/DriverIdentity.h"

#include <filesystem>
#include <system_error>

std::string DriverIdentity::Files(const std::vector<std::string>& paths)
{
    std::string identity;
    for (const std::string& path : paths) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        const auto modified = error ? std::filesystem::file_time_type() : std::filesystem::last_write_time(path, error);
        identity += (identity.empty() ? "" : "; ") + path;
        identity += error ? std::string(" missing")
                          : " " + std::to_string(size) + " " + std::to_string(modified.time_since_epoch().count());
    }
    return identity;
}
