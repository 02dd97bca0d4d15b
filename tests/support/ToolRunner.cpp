#include "ToolRunner.h"

#include "ScopedDirectory.h"
#include "TestEnvironment.h"

#include <stdexcept>

namespace testsupport {

ProcessResult ToolRunner::Run(const std::vector<std::string>& arguments,
                              const std::map<std::string, std::string>& callerEnvironment,
                              const std::string& workingDirectory, TimeoutMs timeoutMs)
{
    // No run sees a fault record of another, nor of the machine's user, unless the test gives it one.
    std::map<std::string, std::string> environment = callerEnvironment;
    if (!environment.count("XDG_CACHE_HOME") && !environment.count("LOCALAPPDATA")) {
        environment.insert({"VEXILON_FAULT_RECORD", "0"});
    }
    if (!workingDirectory.empty()) {
        return ChildProcess::Run(TestEnvironment::ToolPath(), arguments, workingDirectory, environment, timeoutMs);
    }
    ScopedDirectory folder;
    return ChildProcess::Run(TestEnvironment::ToolPath(), arguments, folder.path(), environment, timeoutMs);
}

std::vector<std::string> SplitTextModeLines(const std::string& text)
{
    const bool crLf = TestEnvironment::LineEnd() == "\r\n";
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const std::string::size_type feed = text.find('\n', start);
        if (feed == std::string::npos) {
            lines.push_back(text.substr(start));  // last line without an end
            break;
        }
        const bool afterReturn = feed > start && text[feed - 1] == '\r';
        if (afterReturn != crLf) {
            throw std::runtime_error(std::string(crLf ? "line feed without carriage return" : "carriage return") +
                                     " at offset " + std::to_string(feed));
        }
        lines.push_back(text.substr(start, feed - (crLf ? 1 : 0) - start));
        start = feed + 1;
    }
    return lines;
}

std::vector<std::string> Unstamped(const std::string& text)
{
    std::vector<std::string> lines;
    for (const std::string& line : SplitTextModeLines(text)) {
        if (line.rfind("vexilonStart", 0) != 0 && line.rfind("vexilonEnd", 0) != 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

} // namespace testsupport
