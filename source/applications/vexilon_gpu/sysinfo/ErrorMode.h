#pragma once

// The process error mode.
class ErrorMode {
public:
    // Keeps the current flags and adds the one by which the system shows no
    // dialog box when the process faults.
    static void AddNoFaultDialog();

private:
    ErrorMode() = delete;
};
