#include "sysinfo/ErrorMode.h"

#include <windows.h>

void ErrorMode::AddNoFaultDialog()
{
    const UINT previous = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    SetErrorMode(previous | SEM_NOGPFAULTERRORBOX);
}

// A write to a closed pipe fails with an error here; no signal exists.
void ErrorMode::ReportBrokenPipeAsWriteError() {}
