#include "enumeration/GPUFactory.h"

#include <utility>

namespace {
GPUFactory* gReplacement = nullptr;
}

GPUFactory::~GPUFactory() { spGPUs_.clear(); }

GPUFactory& GPUFactory::Instance()
{
    if (gReplacement != nullptr) {
        return *gReplacement;
    }
    return SystemFactory();
}

void GPUFactory::InstallReplacement(GPUFactory* replacement) { gReplacement = replacement; }

GPUList GPUFactory::GetGPUs()
{
    if (spGPUs_.empty()) {
        GPUList created = CreateGPUs();
        spGPUs_ = std::move(created);
    }
    return spGPUs_;
}
