#pragma once

#include <functional>

class CommandLine;
struct ProbeResume;

// The run of one process: handshake files, switches, the chosen mode, and the
// exit code. The mode's work runs in a watched probe (this program again,
// with a private switch), unless VEXILON_IN_PROCESS is set (to anything but
// "0"): then in this process, as a baseline for measurements.
class RunDriver {
public:
    static int Run(int argc, char** argv);

private:
    RunDriver() = delete;

    // The probe's side: the mode from where `argv[1]` says, marks to the watcher.
    static int RunProbe(int argc, char** argv);
    // Tester mode, or the legacy check, from where `resume` says.
    static int RunMode(const CommandLine& options, const ProbeResume& resume, int argc, char** argv);
    // `run` under the handler that turns what escapes it into a message and 2.
    static int Guarded(const std::function<int()>& run);
};
