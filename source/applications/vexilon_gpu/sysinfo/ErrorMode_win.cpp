#include "sysinfo/ErrorMode.h"

#include <windows.h>

void ErrorMode::AddNoFaultDialog()
{
    const UINT previous = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    SetErrorMode(previous | SEM_NOGPFAULTERRORBOX);
}
