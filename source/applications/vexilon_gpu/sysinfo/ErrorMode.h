#pragma once

// The process error mode.
class ErrorMode {
public:
    // Keeps the current flags and adds the one by which the system shows no
    // dialog box when the process faults.
    static void AddNoFaultDialog();

    // A host that closes its end of the pipe early makes the next write fail
    // with an error the run reports, instead of ending the process unasked.
    static void ReportBrokenPipeAsWriteError();

private:
    ErrorMode() = delete;
};
