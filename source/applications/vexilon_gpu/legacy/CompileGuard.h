#pragma once

// The guards around the legacy check's GLSL compile, where a driver may throw
// anything or fault.
class CompileGuard {
public:
    // Runs `compile`. A framework exception (ZEB::ExceptionBase and its family)
    // writes its text on standard error and "Return code: 0" on standard
    // output, then exits with status 0. Any other exception, or a machine fault
    // on this thread that nothing inside `compile` handles, ends the process at
    // once with status 0 (ExitProcess, _exit) without writing anything more.
    static void Run(void (*compile)());

private:
    CompileGuard() = delete;

    // The system's part: runs `compile` with the fault exit in place, and
    // ends the process at once.
    static void RunWithFaultExit(void (*compile)());
    [[noreturn]] static void EndAtOnce();
};
