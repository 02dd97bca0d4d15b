#include "ChildProcess.h"

#include "TestEnvironment.h"

namespace testsupport {

bool ChildProcess::isRunning()
{
    ExitCode ignored = 0;
    return process_ && !ended(0, ignored);
}

std::string ChildProcess::outputSoFar() const
{
    return refuseOutput_ ? std::string() : TestEnvironment::ReadTextFile(captures_.file("out"));
}

ProcessResult ChildProcess::wait(TimeoutMs timeoutMs)
{
    ProcessResult result;
    if (!ended(timeoutMs, result.exitCode)) {
        result.timedOut = true;
        terminate();
        ended(kDefaultTimeoutMs, result.exitCode);
    }
    result.out = outputSoFar();
    result.err = TestEnvironment::ReadTextFile(captures_.file("err"));
    return result;
}

std::vector<std::string> ChildProcess::childEnvironment(const std::vector<std::string>& inherited) const
{
    std::map<std::string, std::string> variables;
    for (const std::string& entry : inherited) {
        const std::string::size_type equals = entry.find('=', 1);  // Windows' "=C:" entries start with '='
        if (equals != std::string::npos) {
            variables[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
    }
    for (const auto& change : environment_) {
        if (change.second.empty()) {
            variables.erase(change.first);
        } else {
            variables[change.first] = change.second;
        }
    }
    std::vector<std::string> entries;
    for (const auto& variable : variables) {
        entries.push_back(variable.first + "=" + variable.second);
    }
    return entries;
}

ProcessResult ChildProcess::Run(const std::string& program, const std::vector<std::string>& arguments,
                                const std::string& workingDirectory,
                                const std::map<std::string, std::string>& environment, TimeoutMs timeoutMs)
{
    ChildProcess child;
    for (const auto& variable : environment) {
        child.setEnvironment(variable.first, variable.second);
    }
    child.start(program, arguments, workingDirectory);
    return child.wait(timeoutMs);
}

} // namespace testsupport
