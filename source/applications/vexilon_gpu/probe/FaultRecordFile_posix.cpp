#include "probe/FaultRecordFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string FaultRecordFile::DefaultPath()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') {
        return std::string(cache) + "/vexilon_gpu/faults";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.cache/vexilon_gpu/faults";
    }
    return std::string();
}

bool FaultRecordFile::Rename(const std::string& from, const std::string& to, std::string& error)
{
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}
