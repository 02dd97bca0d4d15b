#include "gpu/GPUFactoryWin.h"

GPUList GPUFactoryWin::CreateGPUs()
{
    // Adapter enumeration is not wired up yet: no adapters are reported.
    return GPUList();
}
