#pragma once

#include <string>

// Standard output as the report and the check use it: one flushed line at a
// time, each value on the line it belongs to.
class ReportOutput {
public:
    // Writes `line` and a line end, flushes, and throws ReportWriteError when
    // standard output fails (now or on an earlier write).
    static void WriteLine(const std::string& line);

    // `text` with a space for every carriage return and line feed, so that a
    // driver's text can never split a line; every other byte stays.
    static std::string SingleLine(std::string text);

private:
    ReportOutput() = delete;
};
