// The compile guards on Linux, each failure in a process of its own.
#include "legacy/CompileGuard.h"

#include "zeb/core/exception/RuntimeException.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Standard output joins standard error, so one pattern sees everything the
// guard writes; a guard that returns ends the child with status 7.
void RunGuarded(void (*compile)())
{
    dup2(STDERR_FILENO, STDOUT_FILENO);
    CompileGuard::Run(compile);
    std::_Exit(7);
}

} // namespace

TEST(CompileGuardLinux, EveryFailureEndsTheProcessWithStatusZero)
{
    struct Case {
        const char* name;
        void (*compile)();
        int status;
        const char* output;
    };
    const Case cases[] = {
        {"passing compile", [] {}, 7, "^$"},
        {"framework exception", [] { throw ZEB::RuntimeException("0:3(5): error: syntax error"); }, 0,
         "^0:3\\(5\\): error: syntax error\nReturn code: 0\n$"},
        {"other exception", [] { throw std::runtime_error("not the framework's"); }, 0, "^$"},
        {"access violation",
         [] {
             // A page no access is allowed to, rather than null: the
             // undefined-behaviour sanitizer would stop a null store itself.
             void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
             *static_cast<volatile int*>(page) = 1;
         },
         0, "^$"},
        {"bus error", [] { std::raise(SIGBUS); }, 0, "^$"},
        {"illegal instruction", [] { std::raise(SIGILL); }, 0, "^$"},
        {"arithmetic fault", [] { std::raise(SIGFPE); }, 0, "^$"},
    };
    for (const Case& guarded : cases) {
        SCOPED_TRACE(guarded.name);
        EXPECT_EXIT(RunGuarded(guarded.compile), ::testing::ExitedWithCode(guarded.status), guarded.output);
    }
}
