#pragma once

#include "enumeration/GPUFactory.h"

// Enumerates the display adapters through WMI, DXGI, Direct3D 9 and WGL.
class GPUFactoryWin : public GPUFactory {
public:
    GPUFactoryWin() {}

protected:
    GPUList CreateGPUs() override;
};
