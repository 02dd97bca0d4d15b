#pragma once

#include "ChildProcess.h"

#include <map>
#include <string>
#include <vector>

namespace testsupport {

// One test of the running test program, run again in a child process: for
// code that ends the process, or that reads settings only when a process
// starts. The child test is usually a DISABLED_ one, so that it runs only
// when asked for here.
class ChildTest {
public:
    static ProcessResult Run(const std::string& fullName,
                             const std::map<std::string, std::string>& environment = {});

    // The lines the child test wrote itself, between Google Test's RUN line
    // and its verdict (or the end of output, when the process ended inside
    // the test). Throws when a line ends without CR LF.
    static std::vector<std::string> OwnLines(const ProcessResult& result, const std::string& fullName);

private:
    ChildTest() = delete;
};

} // namespace testsupport
