#include "driver/HandshakeFiles.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

std::string Reason(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

} // namespace

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
    int writeError = 0;
    errno = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (std::fwrite(buffer, 1, count, out) != count) {
            writeError = errno;
            break;
        }
    }
    const bool readFailed = std::ferror(file) != 0;
    const int readError = readFailed ? errno : 0;
    std::fclose(file);
    if (readFailed) {
        throw std::runtime_error(std::string("cannot read ") + kOutputFile + ": " + Reason(readError));
    }
    if (writeError == 0 && std::ferror(out) == 0) {
        errno = 0;
        if (std::fflush(out) == 0) {
            return true;
        }
        writeError = errno;
    }
    throw std::runtime_error("cannot write the report: " + Reason(writeError));
}
