#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// A child's exit code: the full 32-bit code on Windows; elsewhere the exit
// status, or 128 + the signal's number for a child that a signal ended.
typedef std::uint32_t ExitCode;
typedef std::uint32_t TimeoutMs;

// What a finished child process left behind.
struct ProcessResult {
    std::string out;
    std::string err;
    ExitCode exitCode = 0;
    bool timedOut = false;
};

// A child process with its standard output and error captured through pipes.
// Both pipes are drained on threads of their own, so a chatty child never
// blocks on a full pipe.
class ChildProcess {
public:
    static const TimeoutMs kDefaultTimeoutMs = 10 * 60 * 1000;

    ChildProcess();
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Variables to set (or, with an empty value, to remove) in the child's
    // environment, on top of this process's own.
    void setEnvironment(const std::string& name, const std::string& value);

    // Throws when the program cannot be started.
    void start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingDirectory = std::string());

    bool isRunning() const;
    // What the child has written so far.
    std::string outputSoFar() const;
    std::string errorSoFar() const;

    // Waits for the end (killing the child after timeoutMs) and collects it.
    ProcessResult wait(TimeoutMs timeoutMs = kDefaultTimeoutMs);

    // start, then wait.
    static ProcessResult Run(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& workingDirectory = std::string(),
                             const std::map<std::string, std::string>& environment = {},
                             TimeoutMs timeoutMs = kDefaultTimeoutMs);

private:
    struct Drain;
    struct Process;

    // This process's variables ("NAME=value") with the child's additions and removals.
    std::vector<std::string> childEnvironment(const std::vector<std::string>& inherited) const;

    std::map<std::string, std::string> environment_;
    std::unique_ptr<Process> process_;
    std::unique_ptr<Drain> outDrain_;
    std::unique_ptr<Drain> errDrain_;
};

} // namespace testsupport
