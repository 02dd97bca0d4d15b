#include "probe/ProbeProcess.h"

#include "probe/WindowsCommandLine.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <csignal>
#include <cstdio>
#include <stdexcept>

struct ProbeProcess::Handles {
    HANDLE job = nullptr;
    HANDLE process = nullptr;
    HANDLE out = nullptr;
    HANDLE err = nullptr;
    bool outClosed = false;
    bool errClosed = false;

    // Closing the job ends every process in it; one that will not die is
    // no longer waited for.
    ~Handles()
    {
        for (HANDLE handle : {out, err, process, job}) {
            if (handle != nullptr) {
                CloseHandle(handle);
            }
        }
    }
};

namespace {

ProbeProcess::StartFailure Failure(const char* what)
{
    return ProbeProcess::StartFailure(std::string("cannot start the probe: ") + what + " failed with " +
                              std::to_string(GetLastError()));
}

// Reads what the pipe holds now; notes the end of its data.
void Drain(HANDLE pipe, bool& closed, std::string& into)
{
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
        closed = true;  // the writing end is gone
        return;
    }
    while (available > 0) {
        char buffer[65536];
        DWORD count = 0;
        const DWORD wanted = available < sizeof buffer ? available : DWORD(sizeof buffer);
        if (!ReadFile(pipe, buffer, wanted, &count, nullptr) || count == 0) {
            closed = true;
            return;
        }
        into.append(buffer, count);
        available -= count;
    }
}

// abort() would first write the run time's own message about an unusual end.
void EndAfterAbort(int) { TerminateProcess(GetCurrentProcess(), 3); }

LONG WINAPI EndWithTheFaultsCode(EXCEPTION_POINTERS* fault)
{
    TerminateProcess(GetCurrentProcess(), fault->ExceptionRecord->ExceptionCode);
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

ProbeProcess::ProbeProcess(const std::vector<std::string>& arguments) : handles_(new Handles())
{
    char program[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) {
        throw Failure("GetModuleFileName");
    }
    const std::string commandLine = WindowsCommandLine::Join(program, arguments);

    // Only the probe's ends are inheritable, and only those three are handed on.
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE outWrite = nullptr;
    HANDLE errWrite = nullptr;
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                               0, nullptr);
    const bool piped = CreatePipe(&handles_->out, &outWrite, &inheritable, 0) &&
                       CreatePipe(&handles_->err, &errWrite, &inheritable, 0) &&
                       SetHandleInformation(handles_->out, HANDLE_FLAG_INHERIT, 0) &&
                       SetHandleInformation(handles_->err, HANDLE_FLAG_INHERIT, 0);
    HANDLE inherited[3] = {input, outWrite, errWrite};
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributeMemory(size);
    LPPROC_THREAD_ATTRIBUTE_LIST attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeMemory.data());
    const bool listed = piped && input != INVALID_HANDLE_VALUE &&
                        InitializeProcThreadAttributeList(attributes, 1, 0, &size) &&
                        UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                                  sizeof inherited, nullptr, nullptr);

    // A job that ends the probe, and whatever it starts, when the tool lets go of it.
    handles_->job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    const bool jobbed = handles_->job != nullptr &&
                        SetInformationJobObject(handles_->job, JobObjectExtendedLimitInformation, &limits,
                                                sizeof limits);

    STARTUPINFOEXA startup = {};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input;
    startup.StartupInfo.hStdOutput = outWrite;
    startup.StartupInfo.hStdError = errWrite;
    startup.lpAttributeList = attributes;
    std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back('\0');
    PROCESS_INFORMATION info = {};
    const bool started = listed && jobbed &&
                         CreateProcessA(program, mutableCommandLine.data(), nullptr, nullptr, TRUE,
                                        EXTENDED_STARTUPINFO_PRESENT | CREATE_SUSPENDED, nullptr, nullptr,
                                        &startup.StartupInfo, &info);
    const DWORD error = GetLastError();
    if (listed) {
        DeleteProcThreadAttributeList(attributes);
    }
    for (HANDLE handle : inherited) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    if (!started) {
        SetLastError(error);
        throw Failure(!piped ? "CreatePipe" : !jobbed ? "CreateJobObject" : "CreateProcess");
    }
    handles_->process = info.hProcess;
    if (!AssignProcessToJobObject(handles_->job, info.hProcess)) {
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hThread);
        throw Failure("AssignProcessToJobObject");
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
}

ProbeProcess::~ProbeProcess() {}

ProbeProcess::Output ProbeProcess::Read(unsigned timeoutMs)
{
    // Anonymous pipes cannot be waited on: look, then sleep a little.
    Output output;
    const DWORD start = GetTickCount();
    for (;;) {
        if (!handles_->outClosed) {
            Drain(handles_->out, handles_->outClosed, output.out);
        }
        if (!handles_->errClosed) {
            Drain(handles_->err, handles_->errClosed, output.err);
        }
        if (!output.out.empty() || !output.err.empty() || (handles_->outClosed && handles_->errClosed) ||
            GetTickCount() - start >= timeoutMs) {
            return output;
        }
        Sleep(1);
    }
}

bool ProbeProcess::OutputClosed() const { return handles_->outClosed; }

bool ProbeProcess::Ended(unsigned timeoutMs, int& exitStatus, std::string& how)
{
    if (WaitForSingleObject(handles_->process, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(handles_->process, &code);
    exitStatus = static_cast<int>(code);
    char text[64];
    std::snprintf(text, sizeof text, code >= 0xC0000000u ? "exception 0x%08lx" : "exit status %lu",
                  static_cast<unsigned long>(code));
    how = text;
    return true;
}

void ProbeProcess::Kill() { TerminateJobObject(handles_->job, 1); }

void ProbeProcess::BecomeProbe()
{
    // Report lines travel as they are written: no text-mode line ends.
    _setmode(_fileno(stdout), _O_BINARY);
    SetUnhandledExceptionFilter(&EndWithTheFaultsCode);
    std::signal(SIGABRT, &EndAfterAbort);
}

void ProbeProcess::WriteError(const std::string& bytes)
{
    std::fflush(stderr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
