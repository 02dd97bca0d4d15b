#include "legacy/CompileGuard.h"

#include <windows.h>


namespace {

// GCC raises C++ exceptions and their unwinding as structured exceptions with
// "GCC" in the low bytes of the code (mingw-w64's start-up code tests them the
// same way). Those belong to C++ handlers, never to the fault exit.
bool IsGccException(DWORD code) { return (code & 0x20FFFFFFu) == 0x20474343u; }

// While alive, a structured exception that no handler takes on the thread that
// made it ends the process with status 0. GCC has no __try/__except; the
// unhandled-exception filter sees the same faults, after every handler nearer
// the fault (a driver's own, say) has had its chance, which a vectored handler
// would not give.
class ExitOnUnhandledFault {
public:
    ExitOnUnhandledFault() : previousThread_(sThread_), previousFilter_(sPrevious_)
    {
        sThread_ = GetCurrentThreadId();
        sPrevious_ = SetUnhandledExceptionFilter(&Filter);
    }
    ~ExitOnUnhandledFault()
    {
        SetUnhandledExceptionFilter(sPrevious_);
        sThread_ = previousThread_;
        sPrevious_ = previousFilter_;
    }

private:
    ExitOnUnhandledFault(const ExitOnUnhandledFault&) = delete;
    ExitOnUnhandledFault& operator=(const ExitOnUnhandledFault&) = delete;

    static LONG WINAPI Filter(EXCEPTION_POINTERS* pointers)
    {
        if (GetCurrentThreadId() == sThread_ && !IsGccException(pointers->ExceptionRecord->ExceptionCode)) {
            ExitProcess(0);
        }
        return sPrevious_ != nullptr ? sPrevious_(pointers) : EXCEPTION_CONTINUE_SEARCH;
    }

    static DWORD sThread_;
    static LPTOP_LEVEL_EXCEPTION_FILTER sPrevious_;

    DWORD previousThread_;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter_;
};

DWORD ExitOnUnhandledFault::sThread_ = 0;
LPTOP_LEVEL_EXCEPTION_FILTER ExitOnUnhandledFault::sPrevious_ = nullptr;

} // namespace

void CompileGuard::RunWithFaultExit(void (*compile)())
{
    const ExitOnUnhandledFault faults;
    compile();
}

void CompileGuard::EndAtOnce() { ExitProcess(0); }
