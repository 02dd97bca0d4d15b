#include "probe/FaultRecordLock.h"

#include <windows.h>

#include <chrono>

FaultRecordLock::FaultRecordLock(const std::string& path, unsigned waitMs)
    : handle_(reinterpret_cast<std::intptr_t>(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)))
{
    const HANDLE file = reinterpret_cast<HANDLE>(handle_);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = "cannot open the lock file (Windows error " + std::to_string(GetLastError()) + ")";
        return;
    }
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        OVERLAPPED start = {};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) {
            held_ = true;
            return;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) {
            error_ = "cannot lock (Windows error " + std::to_string(GetLastError()) + ")";
            return;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            error_ = "held by another run";
            return;
        }
        Sleep(10);
    }
}

FaultRecordLock::~FaultRecordLock()
{
    const HANDLE file = reinterpret_cast<HANDLE>(handle_);
    if (file != INVALID_HANDLE_VALUE) {
        if (held_) {
            OVERLAPPED start = {};
            UnlockFileEx(file, 0, 1, 0, &start);
        }
        CloseHandle(file);
    }
}
