#include "ChildProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace testsupport {

struct ChildProcess::Process {
    pid_t pid = -1;
    bool ended = false;
    ExitCode exitCode = 0;
};

namespace {

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
    ExitCode ignored = 0;
    if (isRunning()) {
        terminate();
        ended(kDefaultTimeoutMs, ignored);
    }
}

void ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory)
{
    std::vector<std::string> argumentTexts(1, program);
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> inherited;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        inherited.push_back(*entry);
    }
    std::vector<std::string> environmentTexts = childEnvironment(inherited);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string out = refuseOutput_ ? "/dev/full" : captures_.file("out");
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, captures_.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workingDirectory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    }
    std::unique_ptr<Process> process(new Process());
    const int error = posix_spawn(&process->pid, program.c_str(), &actions, nullptr,
                                  Pointers(argumentTexts).data(), Pointers(environmentTexts).data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
    }
    process_ = std::move(process);
}

bool ChildProcess::ended(TimeoutMs timeoutMs, ExitCode& exitCode)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (!process_->ended) {
        if (waitpid(process_->pid, &status, WNOHANG) == process_->pid) {
            process_->ended = true;
            process_->exitCode = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
        } else if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    exitCode = process_->exitCode;
    return true;
}

void ChildProcess::terminate() { kill(process_->pid, SIGKILL); }

} // namespace testsupport
