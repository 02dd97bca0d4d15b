#include "legacy/CompileGuard.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

namespace {

const int kFaults[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE};
const int kFaultCount = sizeof kFaults / sizeof kFaults[0];

// While alive, a fault signal on the thread that made it ends the process
// with status 0. A fault on another thread gets the disposition it had
// before: the handler puts that back and returns, so the fault repeats into it.
class ExitOnFault {
public:
    ExitOnFault()
    {
        sThread_ = pthread_self();
        struct sigaction action = {};
        action.sa_handler = &Handler;
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < kFaultCount; ++i) {
            sigaction(kFaults[i], &action, &sPrevious_[i]);
        }
    }
    ~ExitOnFault()
    {
        for (int i = 0; i < kFaultCount; ++i) {
            sigaction(kFaults[i], &sPrevious_[i], nullptr);
        }
    }

private:
    ExitOnFault(const ExitOnFault&) = delete;
    ExitOnFault& operator=(const ExitOnFault&) = delete;

    static void Handler(int signal)
    {
        if (pthread_equal(pthread_self(), sThread_)) {
            _exit(0);
        }
        for (int i = 0; i < kFaultCount; ++i) {
            if (kFaults[i] == signal) {
                sigaction(signal, &sPrevious_[i], nullptr);
            }
        }
    }

    static pthread_t sThread_;
    static struct sigaction sPrevious_[kFaultCount];
};

pthread_t ExitOnFault::sThread_;
struct sigaction ExitOnFault::sPrevious_[kFaultCount];

} // namespace

void CompileGuard::RunWithFaultExit(void (*compile)())
{
    const ExitOnFault faults;
    compile();
}

void CompileGuard::EndAtOnce() { _exit(0); }
