#include "legacy/LegacyConsoleCheck.h"

#include "legacy/LegacyCheck.h"

int LegacyConsoleCheck(int, char**, bool resumeAfterOpenCL, bool resumeAtContext)
{
    LegacyCheck check(LegacyCheck::SystemPlatform());
    check.resumeAfterOpenCL = resumeAfterOpenCL;
    check.resumeAtContext = resumeAtContext;
    return check.Run();
}
