#pragma once

#include <functional>

class CommandLine;
class Tester;
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
    // The mode's work in probes.
    static int RunWatched(const CommandLine& options, int argc, char** argv);
    // Tester mode, or the legacy check, from where `resume` says; with
    // `document`, tester mode as WithDocument makes it.
    static int RunMode(const CommandLine& options, const ProbeResume& resume, bool document, int argc, char** argv);
    // `run` under the handler that turns what escapes it into a message and 2.
    static int Guarded(const std::function<int()>& run);

    // "--help" or "--version" among the switches: writes the answer and
    // returns the exit code; -1 when neither is there.
    static int AnswerAboutItself(int argc, char** argv);

    // `run` with the report lines feeding the document the switches ask for
    // (JSON, Prometheus metrics, or the lines for --output), written once
    // the run is over, to standard output or in place of the --output file;
    // a run that fails writes none. Plain lines to standard output go as
    // they come.
    static int WithDocument(const CommandLine& options, const std::function<int()>& run);
};
