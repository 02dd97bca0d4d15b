#pragma once

#include <cstdio>

// The two files by which a host steers a run from the working directory.
class HandshakeFiles {
public:
    static const char* const kWaitFile;
    static const char* const kOutputFile;

    // Returns once the wait file can no longer be opened. Busy: the host
    // removes the file when it is ready to read.
    static void WaitWhileWaitFileExists();

    // Copies the output file to `out` and returns true when it exists;
    // returns false (writing nothing) when it does not. Throws
    // std::runtime_error with the reason when the file cannot be read or
    // `out` refuses the copy, so a host never takes a cut copy for the whole.
    static bool ReplayOutputFile(std::FILE* out);

private:
    HandshakeFiles() = delete;
};
