#pragma once

class Tester;

// The run of one process: handshake files, switches, the chosen mode, and the
// exit code.
class RunDriver {
public:
    static int Run(int argc, char** argv);

private:
    RunDriver() = delete;

    // Tester mode, or the legacy check; the part of the run under the handler.
    static int RunMode(int argc, char** argv);

    // "--help" or "--version" among the switches: writes the answer and
    // returns the exit code; -1 when neither is there.
    static int AnswerAboutItself(int argc, char** argv);

    // Begin, Run and End of `tester`; with `json`, the lines feed one JSON
    // document that is written once the run is over.
    static void RunTester(Tester& tester, bool json);
};
