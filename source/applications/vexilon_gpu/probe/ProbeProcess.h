#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// This program started again as a probe: the process that talks to the
// drivers, watched from outside so that a driver that crashes or hangs
// costs only its own part of the answer. The probe's standard output and
// error are private pipes; it inherits no other handle, cannot outlive the
// tool by much, and is ended with whatever it started.
class ProbeProcess {
public:
    struct Output {
        std::string out;
        std::string err;
    };

    // The probe could not be started at all (the system refused a process or a pipe).
    class StartFailure : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // Throws StartFailure when the probe cannot be started.
    explicit ProbeProcess(const std::vector<std::string>& arguments);
    // Ends the probe if it still runs, without waiting for a probe that will
    // not die (a driver in an uninterruptible wait): that one is left behind.
    ~ProbeProcess();

    // What arrived within `timeoutMs` (nothing at all when the time ran out).
    Output Read(unsigned timeoutMs);
    // Standard output is closed: the probe has ended, or closed it itself.
    bool OutputClosed() const;
    // Waits up to `timeoutMs` for the end; true and how it ended when it did:
    // the exit status, or what ended it ("signal 11 (Segmentation fault)").
    bool Ended(unsigned timeoutMs, int& exitStatus, std::string& how);
    void Kill();

    // In the probe, first thing: it dies with the tool, and a fault ends it at
    // once with a status that says so, without any dialog or debugger.
    static void BecomeProbe();
    // Bytes to this process's standard error exactly as given.
    static void WriteError(const std::string& bytes);

private:
    ProbeProcess(const ProbeProcess&) = delete;
    ProbeProcess& operator=(const ProbeProcess&) = delete;

    struct Handles;
    std::unique_ptr<Handles> handles_;
};
