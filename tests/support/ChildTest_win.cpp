#include "ChildTest.h"

#include "ToolRunner.h"

#include <windows.h>

namespace testsupport {

namespace {
// One test: a child that has not ended by then hangs (for instance in a
// crash dialog) rather than works.
const DWORD kTimeoutMs = 2 * 60 * 1000;
} // namespace

ProcessResult ChildTest::Run(const std::string& fullName, const std::map<std::string, std::string>& environment)
{
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    return ChildProcess::Run(std::string(program, length),
                             {"--gtest_filter=" + fullName, "--gtest_also_run_disabled_tests", "--gtest_color=no"},
                             std::string(), environment, kTimeoutMs);
}

std::vector<std::string> ChildTest::OwnLines(const ProcessResult& result, const std::string& fullName)
{
    const std::string start = "[ RUN      ] " + fullName;
    std::vector<std::string> own;
    bool inside = false;
    for (const std::string& line : SplitCrLfLines(result.out)) {
        if (!inside) {
            inside = line == start;
            continue;
        }
        if (line.compare(0, 13, "[       OK ] ") == 0 || line.compare(0, 13, "[  FAILED  ] ") == 0 ||
            line.compare(0, 13, "[  SKIPPED ] ") == 0) {
            break;
        }
        own.push_back(line);
    }
    return own;
}

} // namespace testsupport
