#include "legacy/LegacyConsoleCheck.h"

#include "legacy/LegacyCheck.h"

int LegacyConsoleCheck(int, char**, bool resumeAfterOpenCL)
{
    LegacyCheck check(LegacyCheck::SystemPlatform());
    check.resumeAfterOpenCL = resumeAfterOpenCL;
    return check.Run();
}
