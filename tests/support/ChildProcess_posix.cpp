#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace testsupport {

struct ChildProcess::Process {
    pid_t pid = -1;
    bool ended = false;
    int status = 0;

    // Collects the child once it has ended; true then.
    bool reap(bool block)
    {
        while (!ended) {
            const pid_t done = waitpid(pid, &status, block ? 0 : WNOHANG);
            if (done == pid) {
                ended = true;
            } else if (done == 0 || errno != EINTR) {
                break;
            }
        }
        return ended;
    }
};

struct ChildProcess::Drain {
    int fd;
    bool childEnded = false;
    mutable std::mutex lock;
    std::string text;
    std::thread thread;

    explicit Drain(int readEnd) : fd(readEnd), thread(&Drain::run, this) {}
    ~Drain() { finish(); close(fd); }

    std::string snapshot() const
    {
        std::lock_guard<std::mutex> guard(lock);
        return text;
    }
    std::string finish()
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            childEnded = true;
        }
        if (thread.joinable()) {
            thread.join();
        }
        return snapshot();
    }

    // Reads until every writer has closed its end or, once the child has
    // ended, until nothing more comes: a process that the child left behind
    // may hold the pipe open.
    void run()
    {
        char buffer[4096];
        for (;;) {
            pollfd readable = {fd, POLLIN, 0};
            const int ready = poll(&readable, 1, 20);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready == 0) {
                std::lock_guard<std::mutex> guard(lock);
                if (childEnded) {
                    return;
                }
                continue;
            }
            const ssize_t count = ready < 0 ? -1 : read(fd, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count <= 0) {
                return;
            }
            std::lock_guard<std::mutex> guard(lock);
            text.append(buffer, static_cast<std::size_t>(count));
        }
    }
};

namespace {

// Both ends close on exec; the child's copies become its standard handles.
void MakePipe(int ends[2])
{
    if (pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe2 failed: ") + std::strerror(errno));
    }
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(&text[0]);
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess()
{
    if (isRunning()) {
        kill(process_->pid, SIGKILL);
        process_->reap(true);
    }
    outDrain_.reset();
    errDrain_.reset();
}

void ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory)
{
    // Everything the child needs is made before the fork: between fork and
    // exec only async-signal-safe calls are allowed.
    std::vector<std::string> argumentTexts(1, program);
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> inherited;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        inherited.push_back(*entry);
    }
    std::vector<std::string> environmentTexts = childEnvironment(inherited);
    std::vector<char*> argv = Pointers(argumentTexts);
    std::vector<char*> envp = Pointers(environmentTexts);

    int out[2], err[2], failure[2];
    MakePipe(out);
    MakePipe(err);
    MakePipe(failure);  // carries errno when the child cannot exec
    const pid_t pid = fork();
    if (pid == 0) {
        const int input = open("/dev/null", O_RDONLY);
        int error = 0;
        if (input < 0 || dup2(input, 0) < 0 || dup2(out[1], 1) < 0 || dup2(err[1], 2) < 0 ||
            (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0)) {
            error = errno;
        } else {
            execve(program.c_str(), argv.data(), envp.data());
            error = errno;
        }
        if (write(failure[1], &error, sizeof error) < 0) {
            _exit(126);
        }
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    close(failure[1]);
    int error = pid < 0 ? errno : 0;
    if (pid > 0) {
        while (read(failure[0], &error, sizeof error) < 0 && errno == EINTR) {
        }
    }
    close(failure[0]);
    if (error != 0) {
        close(out[0]);
        close(err[0]);
        if (pid > 0) {
            waitpid(pid, nullptr, 0);
        }
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
    }
    process_.reset(new Process());
    process_->pid = pid;
    outDrain_.reset(new Drain(out[0]));
    errDrain_.reset(new Drain(err[0]));
}

bool ChildProcess::isRunning() const { return process_ && !process_->reap(false); }

std::string ChildProcess::outputSoFar() const { return outDrain_ ? outDrain_->snapshot() : ""; }

std::string ChildProcess::errorSoFar() const { return errDrain_ ? errDrain_->snapshot() : ""; }

ProcessResult ChildProcess::wait(TimeoutMs timeoutMs)
{
    ProcessResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!process_->reap(false)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            result.timedOut = true;
            kill(process_->pid, SIGKILL);
            process_->reap(true);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const int status = process_->status;
    result.exitCode = WIFEXITED(status) ? static_cast<ExitCode>(WEXITSTATUS(status))
                                        : 128 + static_cast<ExitCode>(WTERMSIG(status));
    result.out = outDrain_->finish();
    result.err = errDrain_->finish();
    return result;
}

} // namespace testsupport
