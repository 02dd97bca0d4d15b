#pragma once

#include "ChildProcess.h"

#include <map>
#include <string>
#include <vector>

namespace testsupport {

// Runs vexilon_gpu.exe as a host would: in a working folder of the caller's
// choice (a fresh empty one by default), with extra environment variables.
class ToolRunner {
public:
    static ProcessResult Run(const std::vector<std::string>& arguments,
                             const std::map<std::string, std::string>& environment = {},
                             const std::string& workingDirectory = std::string());
};

// Splits text at CR LF. Throws when a line feed comes without its carriage
// return, so every caller also checks the line ends.
std::vector<std::string> SplitCrLfLines(const std::string& text);

} // namespace testsupport
