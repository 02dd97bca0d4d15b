#include "ChildProcess.h"

#include "probe/WindowsCommandLine.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

namespace testsupport {

struct ChildProcess::Process {
    PROCESS_INFORMATION info = {};
};

namespace {

HANDLE OpenInheritable(const std::string& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       disposition, 0, nullptr);
}

} // namespace

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess()
{
    if (!process_) {
        return;
    }
    if (isRunning()) {
        terminate();
        WaitForSingleObject(process_->info.hProcess, INFINITE);
    }
    CloseHandle(process_->info.hProcess);
    CloseHandle(process_->info.hThread);
}

void ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory)
{
    const std::string commandLine = WindowsCommandLine::Join(program, arguments);
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
    startup.hStdInput = OpenInheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    // Wine shows the Unix root as drive Z:.
    startup.hStdOutput = refuseOutput_ ? OpenInheritable("Z:\\dev\\full", GENERIC_WRITE, OPEN_EXISTING)
                                       : OpenInheritable(captures_.file("out"), GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = OpenInheritable(captures_.file("err"), GENERIC_WRITE, CREATE_ALWAYS);
    std::unique_ptr<Process> process(new Process());
    const BOOL created = CreateProcessA(program.c_str(), mutableCommandLine.data(), nullptr, nullptr, TRUE, 0,
                                        environment.data(), workingDirectory.empty() ? nullptr : workingDirectory.c_str(),
                                        &startup, &process->info);
    const DWORD error = GetLastError();
    CloseHandle(startup.hStdInput);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    if (!created) {
        throw std::runtime_error("CreateProcess failed for " + program + ": " + std::to_string(error));
    }
    process_ = std::move(process);
}

bool ChildProcess::ended(TimeoutMs timeoutMs, ExitCode& exitCode)
{
    if (WaitForSingleObject(process_->info.hProcess, timeoutMs) == WAIT_TIMEOUT) {
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_->info.hProcess, &code);
    exitCode = code;
    return true;
}

void ChildProcess::terminate() { TerminateProcess(process_->info.hProcess, 1); }

} // namespace testsupport
