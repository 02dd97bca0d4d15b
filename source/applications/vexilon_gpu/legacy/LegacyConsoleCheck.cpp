#include "legacy/LegacyConsoleCheck.h"

#include <stdexcept>

int LegacyConsoleCheck(int, char**)
{
    throw std::logic_error("the legacy console check is not built yet");
}
