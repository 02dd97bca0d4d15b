#include "report/ReportOutput.h"

#include "report/ReportWriteError.h"

#include <cerrno>
#include <iostream>

void ReportOutput::WriteLine(const std::string& line)
{
    errno = 0;
    std::cout << line << std::endl;
    if (!std::cout) {
        // Read at once: the failed write or flush has just set it.
        throw ReportWriteError(errno);
    }
}

std::string ReportOutput::SingleLine(std::string text)
{
    for (char& byte : text) {
        if (byte == '\r' || byte == '\n') {
            byte = ' ';
        }
    }
    return text;
}
