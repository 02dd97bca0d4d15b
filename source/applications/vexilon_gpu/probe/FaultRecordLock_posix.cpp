#include "probe/FaultRecordLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

FaultRecordLock::FaultRecordLock(const std::string& path, unsigned waitMs)
    : handle_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
{
    if (handle_ < 0) {
        error_ = std::strerror(errno);
        return;
    }
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error_ = std::strerror(errno);
            return;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            error_ = "held by another run";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

FaultRecordLock::~FaultRecordLock()
{
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));  // lets go of the lock too
    }
}
