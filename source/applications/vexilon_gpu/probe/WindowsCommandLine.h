#pragma once

#include <string>
#include <vector>

// A Windows command line, as the C run time splits it back into arguments.
class WindowsCommandLine {
public:
    // "a b" -> "\"a b\"", with backslashes and quotes escaped where the run time needs it.
    static std::string Quote(const std::string& argument);
    // The program and its arguments, each quoted, separated by blanks.
    static std::string Join(const std::string& program, const std::vector<std::string>& arguments);

private:
    WindowsCommandLine() = delete;
};
