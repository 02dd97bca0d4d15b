#include "legacy/LegacyConsoleCheck.h"

#include "legacy/LegacyCheck.h"

int LegacyConsoleCheck(int, char**)
{
    LegacyCheck check(LegacyCheck::SystemPlatform());
    return check.Run();
}
