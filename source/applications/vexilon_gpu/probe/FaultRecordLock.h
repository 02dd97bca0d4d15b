#pragma once

#include <cstdint>
#include <string>

// Held by one run at a time while it reads, merges and replaces the fault
// record, so that runs recording at the same moment keep each other's
// faults. A lock file beside the record; a run that does not get it within
// the wait goes on without it. Readers take no lock: the record is replaced
// whole.
class FaultRecordLock {
public:
    static const unsigned kWaitMs = 1000;

    // Waits up to `waitMs` for the lock on the file `path` (made when missing).
    FaultRecordLock(const std::string& path, unsigned waitMs);
    ~FaultRecordLock();

    bool Held() const { return held_; }
    // Why it is not held.
    const std::string& Error() const { return error_; }

private:
    FaultRecordLock(const FaultRecordLock&) = delete;
    FaultRecordLock& operator=(const FaultRecordLock&) = delete;

    std::intptr_t handle_;
    bool held_ = false;
    std::string error_;
};
