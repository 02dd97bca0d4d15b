#pragma once

#include "enumeration/GPUFactory.h"

namespace testsupport {

// A factory that hands out the test's GPUs, installed as the process-wide
// factory for the length of a scope.
class FakeGPUFactory : public GPUFactory {
public:
    explicit FakeGPUFactory(const GPUList& gpus = GPUList()) : gpus_(gpus), creations_(0)
    {
        GPUFactory::InstallReplacement(this);
    }
    ~FakeGPUFactory() override { GPUFactory::InstallReplacement(nullptr); }

    int creations() const { return creations_; }
    void setGPUs(const GPUList& gpus) { gpus_ = gpus; }

protected:
    GPUList CreateGPUs() override
    {
        ++creations_;
        return gpus_;
    }

private:
    GPUList gpus_;
    int creations_;
};

} // namespace testsupport
