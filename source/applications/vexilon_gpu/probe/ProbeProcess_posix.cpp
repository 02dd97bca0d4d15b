#include "probe/ProbeProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

struct ProbeProcess::Handles {
    pid_t pid = -1;
    int out = -1;
    int err = -1;
    bool ended = false;

    ~Handles()
    {
        for (int fd : {out, err}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
};

namespace {

std::string OwnPath()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        throw ProbeProcess::StartFailure("cannot find the tool's own program");
    }
    return std::string(path, static_cast<std::size_t>(length));
}

// Reads what the descriptor has now; closes it at the end of its data.
void Drain(int& fd, std::string& into)
{
    char buffer[65536];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
        into.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
        close(fd);
        fd = -1;
    }
}

} // namespace

ProbeProcess::ProbeProcess(const std::vector<std::string>& arguments) : handles_(new Handles())
{
    const std::string program = OwnPath();
    // Close-on-exec: only the ends placed on the probe's 1 and 2 reach it.
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        throw StartFailure(std::string("cannot make the probe's pipe: ") + std::strerror(errno));
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        throw StartFailure(std::string("cannot make the probe's pipe: ") + std::strerror(errno));
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    // Nothing else of the tool's, whatever the host let it inherit.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that it can be ended with whatever it starts;
    // default signal handling (the tool ignores SIGPIPE).
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    const int error = posix_spawn(&handles_->pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    handles_->out = out[0];
    handles_->err = err[0];
    if (error != 0) {
        close(out[0]);
        close(err[0]);
        handles_->out = handles_->err = -1;
        throw StartFailure(std::string("cannot start the probe: ") + std::strerror(error));
    }
    fcntl(handles_->out, F_SETFL, O_NONBLOCK);
    fcntl(handles_->err, F_SETFL, O_NONBLOCK);
}

ProbeProcess::~ProbeProcess()
{
    if (handles_->pid > 0 && !handles_->ended) {
        Kill();
        int status = 0;
        std::string how;
        // A probe stuck in the kernel does not die at once: it is left behind.
        Ended(1000, status, how);
    }
}

ProbeProcess::Output ProbeProcess::Read(unsigned timeoutMs)
{
    Output output;
    pollfd fds[2] = {{handles_->out, POLLIN, 0}, {handles_->err, POLLIN, 0}};
    const int ready = poll(fds, 2, static_cast<int>(timeoutMs));
    if (ready <= 0) {
        return output;
    }
    if (handles_->out >= 0 && fds[0].revents != 0) {
        Drain(handles_->out, output.out);
    }
    if (handles_->err >= 0 && fds[1].revents != 0) {
        Drain(handles_->err, output.err);
    }
    return output;
}

bool ProbeProcess::OutputClosed() const { return handles_->out < 0; }

bool ProbeProcess::Ended(unsigned timeoutMs, int& exitStatus, std::string& how)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (waitpid(handles_->pid, &status, WNOHANG) != handles_->pid) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    handles_->ended = true;
    if (WIFSIGNALED(status)) {
        exitStatus = 128 + WTERMSIG(status);
        how = "signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
    } else {
        exitStatus = WEXITSTATUS(status);
        how = "exit status " + std::to_string(exitStatus);
    }
    return true;
}

void ProbeProcess::Kill() { kill(-handles_->pid, SIGKILL); }

void ProbeProcess::BecomeProbe()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

void ProbeProcess::WriteError(const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}
