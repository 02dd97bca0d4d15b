#pragma once

#include <stdexcept>
#include <string>

// Standard output refused a line. No per-GPU handler may swallow it: a host
// must never take a cut report for a whole one.
class ReportWriteError : public std::runtime_error {
public:
    // "cannot write the report: " and the system's reason for `error` (an errno value).
    explicit ReportWriteError(int error);

    // The system's reason alone.
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};
