#pragma once

#include "report/Tester.h"

#include <cstdint>
#include <exception>
#include <string>

namespace testsupport {

// Runs a report as the driver does (Begin, Run, End with the given limit);
// returns the text of what escaped it, or an empty text.
inline std::string RunReport(Tester& tester, std::uint32_t failAfter)
{
    tester.failAfter = failAfter;
    tester.stepCount = 0;
    try {
        tester.Begin();
        tester.Run();
        tester.End();
    } catch (const std::exception& exception) {
        return exception.what();
    }
    return std::string();
}

} // namespace testsupport
