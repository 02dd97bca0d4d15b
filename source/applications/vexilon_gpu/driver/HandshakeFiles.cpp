#include "driver/HandshakeFiles.h"

const char* const HandshakeFiles::kWaitFile = "x-vexilonWait.txt";
const char* const HandshakeFiles::kOutputFile = "x-vexilonOutput.txt";

void HandshakeFiles::WaitWhileWaitFileExists()
{
    for (;;) {
        std::FILE* file = std::fopen(kWaitFile, "r");
        if (file == nullptr) {
            return;
        }
        std::fclose(file);
    }
}

bool HandshakeFiles::ReplayOutputFile(std::FILE* out)
{
    std::FILE* file = std::fopen(kOutputFile, "r");
    if (file == nullptr) {
        return false;
    }
    // Byte blocks, not lines of text: a NUL byte or a line of any length
    // passes through unchanged.
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        std::fwrite(buffer, 1, count, out);
    }
    std::fclose(file);
    std::fflush(out);
    return true;
}
