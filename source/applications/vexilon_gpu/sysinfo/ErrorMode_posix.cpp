#include "sysinfo/ErrorMode.h"

#include <csignal>

#include <sys/resource.h>

// No dialog exists here; the nearest thing is the crash handling the system
// does for a faulting process (a core file, or a crash reporter fed one).
// A driver fault in a probe is an expected outcome, so the process asks for
// none. Only the soft limit changes: a parent's own setting is untouched.
void ErrorMode::AddNoFaultDialog()
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_CORE, &limit) == 0) {
        limit.rlim_cur = 0;
        setrlimit(RLIMIT_CORE, &limit);
    }
}

void ErrorMode::ReportBrokenPipeAsWriteError() { std::signal(SIGPIPE, SIG_IGN); }
