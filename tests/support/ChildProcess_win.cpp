#include "ChildProcess.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

namespace testsupport {

struct ChildProcess::Process {
    PROCESS_INFORMATION info = {};
};

struct ChildProcess::Drain {
    HANDLE pipe = nullptr;
    HANDLE thread = nullptr;
    volatile LONG childEnded = 0;
    mutable CRITICAL_SECTION lock;
    std::string text;

    explicit Drain(HANDLE readEnd) : pipe(readEnd)
    {
        InitializeCriticalSection(&lock);
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~Drain()
    {
        InterlockedExchange(&childEnded, 1);
        if (thread != nullptr) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
        CloseHandle(pipe);
        DeleteCriticalSection(&lock);
    }
    std::string snapshot() const
    {
        EnterCriticalSection(&lock);
        std::string copy = text;
        LeaveCriticalSection(&lock);
        return copy;
    }
    std::string finish()
    {
        InterlockedExchange(&childEnded, 1);
        WaitForSingleObject(thread, INFINITE);
        return snapshot();
    }

    // Polls instead of blocking in ReadFile: helper processes that Wine starts
    // on demand may inherit the child's end of the pipe and keep it open long
    // after the child has ended, so the end of the child is the end of output.
    static DWORD WINAPI Run(LPVOID parameter)
    {
        Drain* drain = static_cast<Drain*>(parameter);
        char buffer[4096];
        for (;;) {
            const bool childEnded = InterlockedCompareExchange(&drain->childEnded, 0, 0) != 0;
            DWORD available = 0;
            if (!PeekNamedPipe(drain->pipe, nullptr, 0, nullptr, &available, nullptr)) {
                return 0;  // every writer has closed its end
            }
            if (available == 0) {
                if (childEnded) {
                    return 0;
                }
                Sleep(5);
                continue;
            }
            DWORD read = 0;
            if (!ReadFile(drain->pipe, buffer, available < sizeof buffer ? available : sizeof buffer, &read, nullptr)) {
                return 0;
            }
            EnterCriticalSection(&drain->lock);
            drain->text.append(buffer, read);
            LeaveCriticalSection(&drain->lock);
        }
    }
};

namespace {

// "a b" -> "\"a b\"" and so on, as the C run time splits a command line.
std::string QuoteArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

} // namespace

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess()
{
    if (isRunning()) {
        TerminateProcess(process_->info.hProcess, 1);
        WaitForSingleObject(process_->info.hProcess, INFINITE);
    }
    outDrain_.reset();
    errDrain_.reset();
    if (process_) {
        CloseHandle(process_->info.hProcess);
        CloseHandle(process_->info.hThread);
    }
}

void ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);

    std::string commandLine = QuoteArgument(program);
    for (const std::string& argument : arguments) {
        commandLine += " " + QuoteArgument(argument);
    }
    std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back('\0');

    std::vector<std::string> inherited;
    LPCH strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
        inherited.push_back(entry);
    }
    FreeEnvironmentStringsA(strings);
    std::vector<char> environment;
    for (const std::string& entry : childEnvironment(inherited)) {
        environment.insert(environment.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    }
    environment.push_back('\0');

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;

    std::unique_ptr<Process> process(new Process());
    const BOOL created = CreateProcessA(program.c_str(), mutableCommandLine.data(), nullptr, nullptr, TRUE, 0,
                                        environment.data(),
                                        workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                                        &process->info);
    const DWORD error = GetLastError();
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    CloseHandle(nul);
    if (!created) {
        CloseHandle(outRead);
        CloseHandle(errRead);
        throw std::runtime_error("CreateProcess failed for " + program + ": " + std::to_string(error));
    }
    process_ = std::move(process);
    outDrain_.reset(new Drain(outRead));
    errDrain_.reset(new Drain(errRead));
}

bool ChildProcess::isRunning() const
{
    return process_ && WaitForSingleObject(process_->info.hProcess, 0) == WAIT_TIMEOUT;
}

std::string ChildProcess::outputSoFar() const { return outDrain_ ? outDrain_->snapshot() : ""; }

std::string ChildProcess::errorSoFar() const { return errDrain_ ? errDrain_->snapshot() : ""; }

ProcessResult ChildProcess::wait(TimeoutMs timeoutMs)
{
    ProcessResult result;
    if (WaitForSingleObject(process_->info.hProcess, timeoutMs) == WAIT_TIMEOUT) {
        result.timedOut = true;
        TerminateProcess(process_->info.hProcess, 1);
        WaitForSingleObject(process_->info.hProcess, INFINITE);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process_->info.hProcess, &exitCode);
    result.exitCode = exitCode;
    result.out = outDrain_->finish();
    result.err = errDrain_->finish();
    return result;
}

} // namespace testsupport
