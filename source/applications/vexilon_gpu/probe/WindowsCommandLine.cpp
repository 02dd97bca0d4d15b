#include "probe/WindowsCommandLine.h"

std::string WindowsCommandLine::Quote(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + '"';
}

std::string WindowsCommandLine::Join(const std::string& program, const std::vector<std::string>& arguments)
{
    std::string line = Quote(program);
    for (const std::string& argument : arguments) {
        line += " " + Quote(argument);
    }
    return line;
}
