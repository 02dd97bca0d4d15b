#include "ChildProcess.h"

#include <stdexcept>

namespace testsupport {

struct ChildProcess::Drain {
    HANDLE pipe = nullptr;
    HANDLE thread = nullptr;
    volatile LONG childEnded = 0;
    mutable CRITICAL_SECTION lock;
    std::string text;

    Drain() { InitializeCriticalSection(&lock); }
    ~Drain()
    {
        if (thread != nullptr) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
        if (pipe != nullptr) {
            CloseHandle(pipe);
        }
        DeleteCriticalSection(&lock);
    }
    std::string snapshot() const
    {
        EnterCriticalSection(&lock);
        std::string copy = text;
        LeaveCriticalSection(&lock);
        return copy;
    }
};

// Polls instead of blocking in ReadFile: helper processes that Wine starts
// on demand may inherit the child's end of the pipe and keep it open long
// after the child has ended, so the end of the child is the end of output.
DWORD WINAPI ChildProcess::DrainPipe(LPVOID parameter)
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

ChildProcess::ChildProcess() : process_(), outDrain_(nullptr), errDrain_(nullptr) {}

ChildProcess::~ChildProcess()
{
    if (process_.hProcess != nullptr && isRunning()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, INFINITE);
    }
    if (outDrain_ != nullptr) {
        InterlockedExchange(&outDrain_->childEnded, 1);
        InterlockedExchange(&errDrain_->childEnded, 1);
    }
    delete outDrain_;
    delete errDrain_;
    if (process_.hProcess != nullptr) {
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

void ChildProcess::setEnvironment(const std::string& name, const std::string& value) { environment_[name] = value; }

std::vector<char> ChildProcess::environmentBlock() const
{
    std::map<std::string, std::string> variables;
    LPCH strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += strlen(entry) + 1) {
        const char* equals = strchr(entry + 1, '=');  // "=C:" style entries start with '='
        if (equals == nullptr) {
            continue;
        }
        variables[std::string(entry, equals)] = equals + 1;
    }
    FreeEnvironmentStringsA(strings);
    for (const auto& override : environment_) {
        if (override.second.empty()) {
            variables.erase(override.first);
        } else {
            variables[override.first] = override.second;
        }
    }
    std::vector<char> block;
    for (const auto& variable : variables) {
        const std::string entry = variable.first + "=" + variable.second;
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back('\0');
    }
    block.push_back('\0');
    return block;
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
    std::vector<char> environment = environmentBlock();

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;

    const BOOL created = CreateProcessA(program.c_str(), mutableCommandLine.data(), nullptr, nullptr, TRUE, 0,
                                        environment.data(),
                                        workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                                        &process_);
    const DWORD error = GetLastError();
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    CloseHandle(nul);
    if (!created) {
        CloseHandle(outRead);
        CloseHandle(errRead);
        throw std::runtime_error("CreateProcess failed for " + program + ": " + std::to_string(error));
    }

    outDrain_ = new Drain();
    outDrain_->pipe = outRead;
    outDrain_->thread = CreateThread(nullptr, 0, DrainPipe, outDrain_, 0, nullptr);
    errDrain_ = new Drain();
    errDrain_->pipe = errRead;
    errDrain_->thread = CreateThread(nullptr, 0, DrainPipe, errDrain_, 0, nullptr);
}

bool ChildProcess::isRunning() const
{
    return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::string ChildProcess::outputSoFar() const { return outDrain_ != nullptr ? outDrain_->snapshot() : ""; }

std::string ChildProcess::errorSoFar() const { return errDrain_ != nullptr ? errDrain_->snapshot() : ""; }

ProcessResult ChildProcess::wait(DWORD timeoutMs)
{
    ProcessResult result;
    if (WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_TIMEOUT) {
        result.timedOut = true;
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, INFINITE);
    }
    GetExitCodeProcess(process_.hProcess, &result.exitCode);
    InterlockedExchange(&outDrain_->childEnded, 1);
    InterlockedExchange(&errDrain_->childEnded, 1);
    WaitForSingleObject(outDrain_->thread, INFINITE);
    WaitForSingleObject(errDrain_->thread, INFINITE);
    result.out = outDrain_->snapshot();
    result.err = errDrain_->snapshot();
    return result;
}

ProcessResult ChildProcess::Run(const std::string& program, const std::vector<std::string>& arguments,
                                const std::string& workingDirectory,
                                const std::map<std::string, std::string>& environment, DWORD timeoutMs)
{
    ChildProcess child;
    for (const auto& variable : environment) {
        child.setEnvironment(variable.first, variable.second);
    }
    child.start(program, arguments, workingDirectory);
    return child.wait(timeoutMs);
}

} // namespace testsupport
