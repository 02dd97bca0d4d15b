#pragma once

#include "ScopedDirectory.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

typedef std::uint32_t TimeoutMs;
// The full 32-bit code on Windows; elsewhere the exit status, or 128 + the
// signal's number for a child that a signal ended.
typedef std::uint32_t ExitCode;

struct ProcessResult {
    std::string out;
    std::string err;
    ExitCode exitCode = 0;
    bool timedOut = false;
};

// A child process whose standard output and error go to files of their own:
// a file never blocks a chatty child, and a helper process that the child
// leaves behind (Wine starts some on demand) cannot hold the output open.
class ChildProcess {
public:
    static const TimeoutMs kDefaultTimeoutMs = 10 * 60 * 1000;

    ChildProcess();
    ~ChildProcess();  // ends a child that still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // A variable to set (or, with an empty value, to remove) in the child's
    // environment, on top of this process's own.
    void setEnvironment(const std::string& name, const std::string& value) { environment_[name] = value; }
    // The child's standard output on a device that refuses every write, as a
    // full disk does (the system's /dev/full).
    void refuseOutput() { refuseOutput_ = true; }
    // Throws when the program cannot be started.
    void start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingDirectory = std::string());
    bool isRunning();
    // What the child has written to its standard output so far.
    std::string outputSoFar() const;
    // Waits for the end (ending the child after timeoutMs) and collects it.
    ProcessResult wait(TimeoutMs timeoutMs = kDefaultTimeoutMs);

    // start, then wait.
    static ProcessResult Run(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& workingDirectory = std::string(),
                             const std::map<std::string, std::string>& environment = {},
                             TimeoutMs timeoutMs = kDefaultTimeoutMs);

private:
    struct Process;  // the system's handle of the child

    // Whether the child has ended within timeoutMs; its exit code then.
    bool ended(TimeoutMs timeoutMs, ExitCode& exitCode);
    void terminate();
    // This process's variables ("NAME=value") with the child's additions and removals.
    std::vector<std::string> childEnvironment(const std::vector<std::string>& inherited) const;

    std::map<std::string, std::string> environment_;
    bool refuseOutput_ = false;
    ScopedDirectory captures_;  // "out" and "err"
    std::unique_ptr<Process> process_;
};

} // namespace testsupport
