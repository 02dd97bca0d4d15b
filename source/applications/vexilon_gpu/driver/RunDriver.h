#pragma once

// The run of one process: handshake files, switches, the chosen mode, and the
// exit code.
class RunDriver {
public:
    static int Run(int argc, char** argv);

private:
    RunDriver() = delete;

    // Tester mode, or the legacy check; the part of the run under the handler.
    static int RunMode(int argc, char** argv);
};
