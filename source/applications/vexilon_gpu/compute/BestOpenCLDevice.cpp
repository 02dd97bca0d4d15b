#include "compute/BestOpenCLDevice.h"

void BestOpenCLDevice::Offer(std::uint64_t rate, const OpenCLVersionText& version)
{
    if (rate <= uRate_) {
        return;
    }
    uRate_ = rate;
    sOpenCL_ = version.OpenCL();
    if (version.HasCUDA()) {
        sCUDA_ = version.CUDA();
    }
    bFound_ = true;
}
