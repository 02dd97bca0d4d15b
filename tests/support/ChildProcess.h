#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace testsupport {

// What a finished child process left behind.
struct ProcessResult {
    std::string out;
    std::string err;
    DWORD exitCode = 0;
    bool timedOut = false;
};

// A child process with its standard output and error captured through pipes.
// Both pipes are drained on threads of their own, so a chatty child never
// blocks on a full pipe.
class ChildProcess {
public:
    ChildProcess();
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Variables to set (or, with an empty value, to remove) in the child's
    // environment, on top of this process's own.
    void setEnvironment(const std::string& name, const std::string& value);

    void start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingDirectory = std::string());

    bool isRunning() const;
    // What the child has written so far.
    std::string outputSoFar() const;
    std::string errorSoFar() const;

    // Waits for the end (killing the child after timeoutMs) and collects it.
    ProcessResult wait(DWORD timeoutMs = 10 * 60 * 1000);

    // start, then wait.
    static ProcessResult Run(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& workingDirectory = std::string(),
                             const std::map<std::string, std::string>& environment = {},
                             DWORD timeoutMs = 10 * 60 * 1000);

private:
    struct Drain;
    static DWORD WINAPI DrainPipe(LPVOID drain);
    std::vector<char> environmentBlock() const;

    std::map<std::string, std::string> environment_;
    PROCESS_INFORMATION process_;
    Drain* outDrain_;
    Drain* errDrain_;
};

// "a b" -> "\"a b\"" and so on, as the C run time splits a command line.
std::string QuoteArgument(const std::string& argument);

} // namespace testsupport
