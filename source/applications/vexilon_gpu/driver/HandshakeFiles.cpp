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
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
        std::fprintf(out, "%s", buffer);
    }
    std::fclose(file);
    std::fflush(out);
    return true;
}
