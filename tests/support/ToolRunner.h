#pragma once

#include "ChildProcess.h"

#include <map>
#include <string>
#include <vector>

namespace testsupport {

// Runs vexilon_gpu as a host would: in a working folder of the caller's
// choice (a fresh empty one by default), with extra environment variables.
// Without XDG_CACHE_HOME or LOCALAPPDATA among them the fault record is off.
class ToolRunner {
public:
    static ProcessResult Run(const std::vector<std::string>& arguments,
                             const std::map<std::string, std::string>& environment = {},
                             const std::string& workingDirectory = std::string(),
                             TimeoutMs timeoutMs = ChildProcess::kDefaultTimeoutMs);
};

// Splits a text-mode stream's output into lines at this system's line end
// (TestEnvironment::LineEnd()). Throws on a line end of the other kind (a
// line feed without its carriage return on Windows, with one elsewhere), so
// every caller also checks the line ends.
std::vector<std::string> SplitTextModeLines(const std::string& text);

// The lines of a report without its time-stamped markers; the legacy check's whole.
std::vector<std::string> Unstamped(const std::string& text);

} // namespace testsupport
